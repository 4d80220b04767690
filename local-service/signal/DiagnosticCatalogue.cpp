// The diagnostic catalogue: what the analysis screen shows.
#include "signal/CatalogueBuilders.h"

namespace localservice {

namespace {

using catalogue::marker;
using catalogue::storage;

// The ids are part of the service's data: stored analyses and recipes refer
// to them. Never renumber; add new ones after the last.
std::vector<CategoryInfo> makeDiagnosticCatalogue()
{
    return {
        {{"Organ systems", "Системы органов"},
         {
             storage("st-01", {"Digestive system", "Пищеварительная система"}, false,
                     {
                         marker("mk-0101", 85, 2, {"Stomach", "Желудок"},
                                {"Reflects the secretory and motor activity of the stomach. Low values often accompany "
                                 "heaviness after meals.",
                                 "Отражает секреторную и моторную активность желудка. Низкие значения часто "
                                 "сопровождаются тяжестью после еды."}),
                         marker("mk-0102", 160, 3, {"Liver", "Печень"},
                                {"Shows the load on the detoxifying function of the liver. Deviations are possible "
                                 "after fatty food, alcohol or medication.",
                                 "Показывает нагрузку на детоксикационную функцию печени. Отклонения возможны после "
                                 "жирной пищи, алкоголя или приёма лекарств."}),
                         marker("mk-0103", 235, 1, {"Gallbladder", "Желчный пузырь"},
                                {"Describes the flow of bile and the tone of the biliary tract.",
                                 "Описывает отток желчи и тонус желчевыводящих путей."}),
                         marker("mk-0104", 340, 2, {"Pancreas", "Поджелудочная железа"},
                                {"Reflects the enzyme activity of the pancreas, which is needed to digest proteins, "
                                 "fats and carbohydrates.",
                                 "Отражает ферментативную активность поджелудочной железы, необходимую для "
                                 "переваривания белков, жиров и углеводов."}),
                         marker("mk-0105", 520, 2, {"Small intestine", "Тонкий кишечник"},
                                {"Shows how well nutrients are absorbed. Deviations may accompany bloating and food "
                                 "intolerance.",
                                 "Показывает, насколько хорошо усваиваются питательные вещества. Отклонения могут "
                                 "сопровождаться вздутием и пищевой непереносимостью."}),
                         marker("mk-0106", 780, 1, {"Large intestine", "Толстый кишечник"},
                                {"Reflects the motility of the large intestine and the regularity of elimination.",
                                 "Отражает моторику толстого кишечника и регулярность опорожнения."}),
                         marker("mk-0107", 1250, 1, {"Oesophagus", "Пищевод"},
                                {"Describes the condition of the oesophagus and its lower sphincter. Deviations are "
                                 "typical of heartburn.",
                                 "Описывает состояние пищевода и его нижнего сфинктера. Отклонения характерны для "
                                 "изжоги."}),
                         marker("mk-0108", 2100, 1, {"Duodenum", "Двенадцатиперстная кишка"},
                                {"Shows the condition of the duodenum, where the contents of the stomach meet bile "
                                 "and pancreatic juice.",
                                 "Показывает состояние двенадцатиперстной кишки, где содержимое желудка встречается с "
                                 "желчью и соком поджелудочной железы."}),
                     }),
             storage("st-02", {"Cardiovascular system", "Сердечно-сосудистая система"}, false,
                     {
                         marker("mk-0201", 110, 3, {"Heart muscle", "Сердечная мышца"},
                                {"Reflects the energy supply of the myocardium and its tolerance of physical load.",
                                 "Отражает энергообеспечение миокарда и его устойчивость к физической нагрузке."}),
                         marker("mk-0202", 190, 2, {"Heart rhythm", "Сердечный ритм"},
                                {"Describes the regularity of the heartbeat and its response to stress.",
                                 "Описывает регулярность сердцебиения и его реакцию на стресс."}),
                         marker("mk-0203", 290, 2, {"Arteries", "Артерии"},
                                {"Shows the elasticity of the arterial walls. Deviations are more common with age "
                                 "and a sedentary way of life.",
                                 "Показывает эластичность артериальных стенок. Отклонения чаще встречаются с "
                                 "возрастом и при малоподвижном образе жизни."}),
                         marker("mk-0204", 430, 1, {"Veins", "Вены"},
                                {"Reflects the venous return and the tone of the vein walls, especially in the legs.",
                                 "Отражает венозный отток и тонус венозных стенок, особенно в ногах."}),
                         marker("mk-0205", 700, 1, {"Capillaries", "Капилляры"},
                                {"Describes the microcirculation in the tissues. Cold hands and feet often accompany "
                                 "low values.",
                                 "Описывает микроциркуляцию в тканях. Низким значениям часто сопутствуют холодные руки "
                                 "и ноги."}),
                         marker("mk-0206", 1150, 2, {"Blood pressure regulation", "Регуляция давления"},
                                {"Shows how steadily the body keeps its blood pressure during the day.",
                                 "Показывает, насколько устойчиво организм поддерживает артериальное давление в "
                                 "течение дня."}),
                         marker("mk-0207", 1900, 1, {"Lymphatic system", "Лимфатическая система"},
                                {"Reflects the drainage of lymph from the tissues. Deviations may accompany swelling "
                                 "and a feeling of heaviness.",
                                 "Отражает отток лимфы из тканей. Отклонения могут сопровождаться отёками и чувством "
                                 "тяжести."}),
                     }),
             storage("st-03", {"Respiratory system", "Дыхательная система"}, false,
                     {
                         marker("mk-0301", 130, 1, {"Nasal mucosa", "Слизистая носа"},
                                {"Reflects the condition of the nasal mucosa and its protective function.",
                                 "Отражает состояние слизистой оболочки носа и её защитную функцию."}),
                         marker("mk-0302", 240, 2, {"Paranasal sinuses", "Придаточные пазухи носа"},
                                {"Shows the ventilation of the sinuses. Deviations are common after colds.",
                                 "Показывает вентиляцию пазух. Отклонения часто встречаются после простуды."}),
                         marker("mk-0303", 410, 1, {"Throat and larynx", "Горло и гортань"},
                                {"Describes the condition of the pharynx, the larynx and the vocal cords.",
                                 "Описывает состояние глотки, гортани и голосовых связок."}),
                         marker("mk-0304", 690, 2, {"Bronchi", "Бронхи"},
                                {"Reflects the patency of the bronchi and how well they clear mucus.",
                                 "Отражает проходимость бронхов и их очищение от слизи."}),
                         marker("mk-0305", 1380, 3, {"Lungs", "Лёгкие"},
                                {"Shows the efficiency of gas exchange and the depth of breathing.",
                                 "Показывает эффективность газообмена и глубину дыхания."}),
                         marker("mk-0306", 2600, 1, {"Diaphragm", "Диафрагма"},
                                {"Describes the mobility of the diaphragm, the main breathing muscle. Shallow "
                                 "breathing under stress lowers it.",
                                 "Описывает подвижность диафрагмы — главной дыхательной мышцы. Поверхностное дыхание "
                                 "при стрессе снижает показатель."}),
                     }),
         }},
        {{"Energy meridians", "Энергетические меридианы"},
         {
             storage("st-04", {"Yin meridians", "Меридианы инь"}, false,
                     {
                         marker("mk-0401", 72, 2, {"Lung meridian", "Меридиан лёгких"},
                                {"Associated with breathing, the skin and the body's defences. Chinese tradition "
                                 "connects it with grief.",
                                 "Связан с дыханием, кожей и защитными силами организма. Китайская традиция "
                                 "связывает его с печалью."}),
                         marker("mk-0402", 150, 2, {"Spleen meridian", "Меридиан селезёнки"},
                                {"Associated with digestion and the transformation of food into energy. Its imbalance "
                                 "is linked to worry and brooding.",
                                 "Связан с пищеварением и превращением пищи в энергию. Его дисбаланс соотносят с "
                                 "беспокойством и навязчивыми мыслями."}),
                         marker("mk-0403", 330, 3, {"Heart meridian", "Меридиан сердца"},
                                {"Associated with circulation, sleep and clarity of mind.",
                                 "Связан с кровообращением, сном и ясностью сознания."}),
                         marker("mk-0404", 620, 2, {"Kidney meridian", "Меридиан почек"},
                                {"Regarded as the store of vital energy and associated with the bones, hearing and "
                                 "endurance. Its imbalance is linked to fear.",
                                 "Считается хранилищем жизненной энергии и связан с костями, слухом и выносливостью. "
                                 "Его дисбаланс соотносят со страхом."}),
                         marker("mk-0405", 1170, 1, {"Pericardium meridian", "Меридиан перикарда"},
                                {"Protects the heart meridian; associated with emotional openness and relationships.",
                                 "Защищает меридиан сердца; связан с эмоциональной открытостью и отношениями с "
                                 "людьми."}),
                         marker("mk-0406", 2480, 2, {"Liver meridian", "Меридиан печени"},
                                {"Keeps energy flowing freely and is associated with the tendons and the eyes. Its "
                                 "imbalance is linked to irritability and anger.",
                                 "Отвечает за свободное движение энергии, связан с сухожилиями и глазами. Его "
                                 "дисбаланс соотносят с раздражительностью и гневом."}),
                     }),
             storage("st-05", {"Yang meridians", "Меридианы ян"}, false,
                     {
                         marker("mk-0501", 95, 1, {"Large intestine meridian", "Меридиан толстого кишечника"},
                                {"Associated with elimination and with letting go, both physical and emotional.",
                                 "Связан с выведением и умением отпускать — как телесным, так и эмоциональным."}),
                         marker("mk-0502", 175, 2, {"Stomach meridian", "Меридиан желудка"},
                                {"Associated with appetite, digestion and the feeling of being nourished.",
                                 "Связан с аппетитом, пищеварением и ощущением насыщения."}),
                         marker("mk-0503", 300, 1, {"Small intestine meridian", "Меридиан тонкого кишечника"},
                                {"Associated with separating the useful from the useless, in food and in thought.",
                                 "Связан с отделением полезного от ненужного — в пище и в мыслях."}),
                         marker("mk-0504", 560, 3, {"Bladder meridian", "Меридиан мочевого пузыря"},
                                {"The longest meridian, running along the back. Associated with the spine and the "
                                 "nervous system.",
                                 "Самый длинный меридиан, проходящий вдоль спины. Связан с позвоночником и нервной "
                                 "системой."}),
                         marker("mk-0505", 990, 1, {"Triple burner meridian", "Меридиан тройного обогревателя"},
                                {"Coordinates the upper, middle and lower parts of the body; associated with "
                                 "temperature regulation and water balance.",
                                 "Согласует работу верхней, средней и нижней частей тела; связан с терморегуляцией и "
                                 "водным балансом."}),
                         marker("mk-0506", 1760, 2, {"Gallbladder meridian", "Меридиан желчного пузыря"},
                                {"Associated with decision-making, the sides of the body and the joints.",
                                 "Связан с принятием решений, боковыми поверхностями тела и суставами."}),
                     }),
         }},
        {{"Microflora", "Микрофлора"},
         {
             storage("st-06", {"Intestinal microflora", "Кишечная микрофлора"}, false,
                     {
                         marker("mk-0601", 140, 2, {"Bifidobacteria", "Бифидобактерии"},
                                {"The main beneficial bacteria of the large intestine. They support digestion and "
                                 "local immunity.",
                                 "Основные полезные бактерии толстого кишечника. Поддерживают пищеварение и местный "
                                 "иммунитет."}),
                         marker("mk-0602", 215, 2, {"Lactobacilli", "Лактобактерии"},
                                {"Acid-forming bacteria that make the intestine an unfriendly place for pathogens.",
                                 "Кислотообразующие бактерии, которые делают среду кишечника неблагоприятной для "
                                 "патогенов."}),
                         marker("mk-0603", 320, 1, {"Escherichia coli", "Кишечная палочка"},
                                {"A normal inhabitant of the intestine in moderate amounts; both too little and too "
                                 "much upset the balance.",
                                 "Нормальный обитатель кишечника в умеренном количестве; баланс нарушают как её "
                                 "недостаток, так и избыток."}),
                         marker("mk-0604", 480, 1, {"Bacteroides", "Бактероиды"},
                                {"Break down complex plant fibres. Their share depends strongly on diet.",
                                 "Расщепляют сложные растительные волокна. Их доля сильно зависит от питания."}),
                         marker("mk-0605", 730, 1, {"Enterococci", "Энтерококки"},
                                {"Part of the normal flora that may cause trouble when it grows too much.",
                                 "Часть нормальной флоры, которая при избыточном росте может вызывать проблемы."}),
                         marker("mk-0606", 1080, 2, {"Clostridia", "Клостридии"},
                                {"Opportunistic bacteria. High values may accompany bloating and unsettled stools.",
                                 "Условно-патогенные бактерии. Высокие значения могут сопровождаться вздутием и "
                                 "неустойчивым стулом."}),
                         marker("mk-0607", 1640, 1, {"Akkermansia", "Аккермансия"},
                                {"Bacteria that maintain the mucous layer of the intestine. Associated with a healthy "
                                 "metabolism.",
                                 "Бактерии, поддерживающие слизистый слой кишечника. Связаны со здоровым обменом "
                                 "веществ."}),
                         marker("mk-0608", 3200, 3, {"Faecalibacterium", "Фекалибактерии"},
                                {"Produce butyrate, the main fuel of the cells lining the intestine.",
                                 "Вырабатывают бутират — основной источник энергии для клеток слизистой кишечника."}),
                     }),
             storage("st-07", {"Fungi and opportunistic flora", "Грибы и условно-патогенная флора"}, false,
                     {
                         marker("mk-0701", 180, 2, {"Candida", "Кандида"},
                                {"Yeast-like fungi. Sugar, antibiotics and stress encourage their overgrowth.",
                                 "Дрожжеподобные грибы. Их избыточному росту способствуют сахар, антибиотики и "
                                 "стресс."}),
                         marker("mk-0702", 380, 1, {"Moulds", "Плесневые грибы"},
                                {"Reflects the load of mould spores from food and damp rooms.",
                                 "Отражает нагрузку от спор плесени из пищи и сырых помещений."}),
                         marker("mk-0703", 600, 2, {"Staphylococci", "Стафилококки"},
                                {"Common inhabitants of the skin and mucous membranes that cause trouble when the "
                                 "defences are weakened.",
                                 "Обычные обитатели кожи и слизистых оболочек, которые доставляют неприятности при "
                                 "ослабленной защите."}),
                         marker("mk-0704", 880, 1, {"Streptococci", "Стрептококки"},
                                {"Associated with the throat and the upper airways. Deviations are common after a "
                                 "sore throat.",
                                 "Связаны с горлом и верхними дыхательными путями. Отклонения часто встречаются после "
                                 "ангины."}),
                         marker("mk-0705", 1450, 1, {"Klebsiella", "Клебсиелла"},
                                {"An opportunistic bacterium of the intestine and the airways.",
                                 "Условно-патогенная бактерия кишечника и дыхательных путей."}),
                         marker("mk-0706", 3500, 2, {"Helicobacter", "Хеликобактер"},
                                {"A bacterium that lives in the lining of the stomach. Associated with gastritis and "
                                 "heartburn.",
                                 "Бактерия, обитающая в слизистой оболочке желудка. Связана с гастритом и изжогой."}),
                     }),
         }},
        {{"Emotional state", "Эмоциональное состояние"},
         {
             storage("st-08", {"Emotional balance", "Эмоциональный баланс"}, false,
                     {
                         marker("mk-0801", 100, 1, {"Calm", "Спокойствие"},
                                {"Shows the ability to stay composed and to recover after tension.",
                                 "Показывает способность сохранять самообладание и восстанавливаться после "
                                 "напряжения."}),
                         marker("mk-0802", 170, 2, {"Anxiety", "Тревожность"},
                                {"Reflects the level of background worry and of expecting trouble.",
                                 "Отражает уровень фонового беспокойства и ожидания неприятностей."}),
                         marker("mk-0803", 265, 2, {"Irritability", "Раздражительность"},
                                {"Describes how easily small things cause annoyance or anger.",
                                 "Описывает, насколько легко мелочи вызывают досаду или гнев."}),
                         marker("mk-0804", 405, 3, {"Low mood", "Подавленность"},
                                {"Reflects a tendency towards sadness, apathy and loss of interest.",
                                 "Отражает склонность к грусти, апатии и потере интереса."}),
                         marker("mk-0805", 640, 2, {"Emotional exhaustion", "Эмоциональное истощение"},
                                {"Typical of long overload at work or in caring for others.",
                                 "Характерно для долгой перегрузки на работе или в заботе о близких."}),
                         marker("mk-0806", 1010, 1, {"Self-confidence", "Уверенность в себе"},
                                {"Shows inner stability and trust in one's own decisions.",
                                 "Показывает внутреннюю устойчивость и доверие к собственным решениям."}),
                         marker("mk-0807", 1600, 1, {"Joy of life", "Радость жизни"},
                                {"Reflects the capacity to enjoy ordinary things and to feel content.",
                                 "Отражает способность радоваться обычным вещам и чувствовать удовлетворение."}),
                         marker("mk-0808", 2750, 2, {"Resentment", "Обида"},
                                {"Describes an unresolved hurt to which the thoughts keep returning.",
                                 "Описывает непрожитую обиду, к которой снова и снова возвращаются мысли."}),
                     }),
             storage("st-09", {"Stress and sleep", "Стресс и сон"}, false,
                     {
                         marker("mk-0901", 90, 3, {"Stress load", "Стрессовая нагрузка"},
                                {"The overall strain on the nervous system over the last few weeks.",
                                 "Общая нагрузка на нервную систему за последние несколько недель."}),
                         marker("mk-0902", 205, 2, {"Adaptation reserve", "Резерв адаптации"},
                                {"Shows how much strength is left to cope with new demands.",
                                 "Показывает, сколько сил остаётся, чтобы справляться с новыми требованиями."}),
                         marker("mk-0903", 450, 1, {"Falling asleep", "Засыпание"},
                                {"Reflects how easily the nervous system switches from activity to rest in the "
                                 "evening.",
                                 "Отражает, насколько легко нервная система вечером переключается с активности на "
                                 "отдых."}),
                         marker("mk-0904", 840, 2, {"Depth of sleep", "Глубина сна"},
                                {"Describes the share of deep, restoring sleep.",
                                 "Описывает долю глубокого, восстанавливающего сна."}),
                         marker("mk-0905", 1520, 1, {"Daily rhythm", "Суточный ритм"},
                                {"Shows how well sleep and wakefulness keep to a regular schedule.",
                                 "Показывает, насколько сон и бодрствование следуют регулярному распорядку."}),
                         marker("mk-0906", 2900, 2, {"Mental fatigue", "Умственное утомление"},
                                {"Reflects tiredness from long concentration, screens and too much information.",
                                 "Отражает усталость от долгой концентрации, экранов и избытка информации."}),
                     }),
         }},
    };
}

} // namespace

const std::vector<CategoryInfo>& diagnosticCatalogue()
{
    static const std::vector<CategoryInfo> catalogue = makeDiagnosticCatalogue();
    return catalogue;
}

} // namespace localservice
