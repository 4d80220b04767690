#include "signal/Catalogue.h"

#include <unordered_map>
#include <utility>

namespace localservice {

namespace {

MarkerInfo marker(const char* id, double frequencyHz, int amount, LocalText title, LocalText description)
{
    MarkerInfo m;
    m.id = id;
    m.title = std::move(title);
    m.description = std::move(description);
    m.frequencyHz = frequencyHz;
    m.amount = amount;
    return m;
}

StorageInfo storage(const char* id, LocalText title, bool frequencies, std::vector<MarkerInfo> markers)
{
    StorageInfo s;
    s.id = id;
    s.title = std::move(title);
    s.frequencies = frequencies;
    s.markers = std::move(markers);
    return s;
}

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

std::vector<CategoryInfo> makeCorrectiveCatalogue()
{
    return {
        {{"Herbal remedies", "Фитотерапия"},
         {
             storage("st-10", {"Calming herbs", "Успокаивающие травы"}, false,
                     {
                         marker("mk-1001", 120, 2, {"Valerian root", "Корень валерианы"},
                                {"A classic mild sedative. Eases tension and helps to fall asleep.",
                                 "Классическое мягкое успокаивающее средство. Снимает напряжение и помогает "
                                 "заснуть."}),
                         marker("mk-1002", 250, 3, {"Chamomile", "Ромашка аптечная"},
                                {"Soothes the nervous system and the digestive tract. Suits an evening tea.",
                                 "Успокаивает нервную систему и пищеварительный тракт. Подходит для вечернего чая."}),
                         marker("mk-1003", 470, 2, {"Lemon balm", "Мелисса"},
                                {"Reduces anxiety and restlessness and gently lifts the mood.",
                                 "Уменьшает тревожность и беспокойство, мягко улучшает настроение."}),
                         marker("mk-1004", 800, 1, {"Motherwort", "Пустырник"},
                                {"Calms a racing heartbeat under nervous strain.",
                                 "Успокаивает учащённое сердцебиение при нервном напряжении."}),
                         marker("mk-1005", 1330, 1, {"Passionflower", "Пассифлора"},
                                {"Helps when restless thoughts keep sleep away.",
                                 "Помогает, когда беспокойные мысли мешают уснуть."}),
                         marker("mk-1006", 2250, 2, {"Lavender", "Лаванда"},
                                {"Relaxes and softens irritability. Often used as a scent.",
                                 "Расслабляет и смягчает раздражительность. Часто применяется как аромат."}),
                     }),
             storage("st-11", {"Herbs for digestion and the liver", "Травы для пищеварения и печени"}, false,
                     {
                         marker("mk-1101", 105, 3, {"Milk thistle", "Расторопша"},
                                {"Supports the liver cells and their recovery.",
                                 "Поддерживает клетки печени и их восстановление."}),
                         marker("mk-1102", 200, 2, {"Peppermint", "Мята перечная"},
                                {"Relieves cramps and bloating and freshens the breath.",
                                 "Снимает спазмы и вздутие, освежает дыхание."}),
                         marker("mk-1103", 310, 1, {"Fennel", "Фенхель"},
                                {"Reduces wind and eases intestinal colic.",
                                 "Уменьшает газообразование и облегчает кишечные колики."}),
                         marker("mk-1104", 500, 2, {"Dandelion root", "Корень одуванчика"},
                                {"A traditional bitter that promotes the flow of bile.",
                                 "Традиционная горечь, усиливающая отток желчи."}),
                         marker("mk-1105", 860, 1, {"Yarrow", "Тысячелистник"},
                                {"Improves the appetite and supports the lining of the stomach.",
                                 "Улучшает аппетит и поддерживает слизистую оболочку желудка."}),
                         marker("mk-1106", 1400, 1, {"Calendula", "Календула"},
                                {"Soothes and heals irritated mucous membranes.",
                                 "Успокаивает и заживляет раздражённые слизистые оболочки."}),
                         marker("mk-1107", 2400, 2, {"Ginger", "Имбирь"},
                                {"Warms, eases nausea and stimulates digestion.",
                                 "Согревает, облегчает тошноту и стимулирует пищеварение."}),
                     }),
         }},
        {{"Nutrition", "Питание"},
         {
             storage(
                 "st-12", {"Vitamins", "Витамины"}, false,
                 {
                     marker("mk-1201", 125, 1, {"Vitamin A", "Витамин A"},
                            {"Needed for vision, the skin and the mucous membranes.",
                             "Необходим для зрения, кожи и слизистых оболочек."}),
                     marker("mk-1202", 195, 2, {"Vitamin B1 (thiamine)", "Витамин B1 (тиамин)"},
                            {"Supports the nervous system and the energy metabolism of carbohydrates.",
                             "Поддерживает нервную систему и энергетический обмен углеводов."}),
                     marker("mk-1203", 300, 2, {"Vitamin B6 (pyridoxine)", "Витамин B6 (пиридоксин)"},
                            {"Takes part in protein metabolism and in making neurotransmitters.",
                             "Участвует в обмене белков и в выработке нейромедиаторов."}),
                     marker("mk-1204", 455, 1, {"Vitamin B12 (cobalamin)", "Витамин B12 (кобаламин)"},
                            {"Needed for blood formation and for healthy nerve fibres.",
                             "Необходим для кроветворения и здоровья нервных волокон."}),
                     marker("mk-1205", 690, 3, {"Vitamin C", "Витамин C"},
                            {"An antioxidant that supports immunity and the walls of the blood vessels.",
                             "Антиоксидант, поддерживающий иммунитет и стенки кровеносных сосудов."}),
                     marker("mk-1206", 1050, 2, {"Vitamin D3", "Витамин D3"},
                            {"Supports the bones, the muscles and immunity, especially in the dark season.",
                             "Поддерживает кости, мышцы и иммунитет, особенно в тёмное время года."}),
                     marker("mk-1207", 1700, 1, {"Vitamin E", "Витамин E"},
                            {"Protects cell membranes from oxidation.", "Защищает клеточные мембраны от окисления."}),
                     marker("mk-1208", 3000, 1, {"Folic acid", "Фолиевая кислота"},
                            {"Needed for the renewal of cells and for blood formation.",
                             "Необходима для обновления клеток и кроветворения."}),
                 }),
             storage("st-13", {"Minerals and trace elements", "Минералы и микроэлементы"}, false,
                     {
                         marker("mk-1301", 115, 3, {"Magnesium", "Магний"},
                                {"Relaxes the muscles and calms the nervous system. Often runs low under stress.",
                                 "Расслабляет мышцы и успокаивает нервную систему. При стрессе его часто не "
                                 "хватает."}),
                         marker("mk-1302", 210, 2, {"Zinc", "Цинк"},
                                {"Supports immunity, the skin and the healing of wounds.",
                                 "Поддерживает иммунитет, кожу и заживление ран."}),
                         marker("mk-1303", 350, 1, {"Selenium", "Селен"},
                                {"An antioxidant trace element that matters for the thyroid gland.",
                                 "Микроэлемент-антиоксидант, важный для щитовидной железы."}),
                         marker("mk-1304", 540, 2, {"Iron", "Железо"},
                                {"Carries oxygen in the blood. A shortage shows as tiredness and pallor.",
                                 "Переносит кислород в крови. Недостаток проявляется усталостью и бледностью."}),
                         marker("mk-1305", 900, 1, {"Calcium", "Кальций"},
                                {"Builds bones and teeth and takes part in muscle contraction.",
                                 "Строит кости и зубы, участвует в сокращении мышц."}),
                         marker("mk-1306", 1500, 1, {"Potassium", "Калий"},
                                {"Keeps the water balance and a steady heart rhythm.",
                                 "Поддерживает водный баланс и ровный сердечный ритм."}),
                         marker("mk-1307", 2650, 1, {"Iodine", "Йод"},
                                {"Needed for the thyroid hormones that set the pace of metabolism.",
                                 "Необходим для гормонов щитовидной железы, задающих темп обмена веществ."}),
                     }),
         }},
        {{"Frequency programmes", "Частотные программы"},
         {
             storage("st-14", {"Relaxation and sleep", "Расслабление и сон"}, true,
                     {
                         marker("mk-1401", 63, 8, {"Deep relaxation", "Глубокое расслабление"},
                                {"A slow programme that lowers muscular and nervous tension.",
                                 "Медленная программа, снижающая мышечное и нервное напряжение."}),
                         marker("mk-1402", 150, 6, {"Evening calm", "Вечернее успокоение"},
                                {"Prepares for sleep by gently slowing the inner rhythm.",
                                 "Готовит ко сну, мягко замедляя внутренний ритм."}),
                         marker("mk-1403", 285, 10, {"Sound sleep", "Крепкий сон"},
                                {"Supports unbroken sleep through the night.",
                                 "Поддерживает непрерывный сон в течение всей ночи."}),
                         marker("mk-1404", 528, 4, {"Harmony", "Гармония"},
                                {"A balancing programme for times of emotional strain.",
                                 "Уравновешивающая программа для периодов эмоционального напряжения."}),
                         marker("mk-1405", 1000, 5, {"Release of tension", "Снятие напряжения"},
                                {"Aimed at the neck, the shoulders and the back after a long working day.",
                                 "Направлена на шею, плечи и спину после долгого рабочего дня."}),
                         marker("mk-1406", 1850, 3, {"Quiet mind", "Тихий ум"},
                                {"Eases the stream of intrusive thoughts.", "Ослабляет поток навязчивых мыслей."}),
                     }),
             storage("st-15", {"Energy and vitality", "Энергия и бодрость"}, true,
                     {
                         marker("mk-1501", 160, 4, {"Morning start", "Утренний старт"},
                                {"A short activating programme for the first half of the day.",
                                 "Короткая активирующая программа для первой половины дня."}),
                         marker("mk-1502", 396, 7, {"Vital energy", "Жизненная энергия"},
                                {"Supports the general tone in periods of fatigue.",
                                 "Поддерживает общий тонус в периоды усталости."}),
                         marker("mk-1503", 639, 5, {"Concentration", "Концентрация"},
                                {"Helps to keep attention during mental work.",
                                 "Помогает удерживать внимание во время умственной работы."}),
                         marker("mk-1504", 852, 9, {"Physical endurance", "Физическая выносливость"},
                                {"Supports the muscles during regular training.",
                                 "Поддерживает мышцы при регулярных тренировках."}),
                         marker("mk-1505", 1460, 12, {"Immune support", "Поддержка иммунитета"},
                                {"Meant for the cold season and for recovery after an illness.",
                                 "Предназначена для холодного сезона и восстановления после болезни."}),
                         marker("mk-1506", 3950, 2, {"Motivation", "Мотивация"},
                                {"Supports drive and interest in everyday tasks.",
                                 "Поддерживает желание действовать и интерес к повседневным делам."}),
                     }),
             storage("st-16", {"Cleansing and recovery", "Очищение и восстановление"}, true,
                     {
                         marker("mk-1601", 78, 6, {"Lymph drainage", "Лимфодренаж"},
                                {"Encourages the outflow of lymph and reduces swelling.",
                                 "Способствует оттоку лимфы и уменьшает отёки."}),
                         marker("mk-1602", 174, 8, {"Liver cleansing", "Очищение печени"},
                                {"Supports the natural detoxification of the liver.",
                                 "Поддерживает естественную детоксикацию печени."}),
                         marker("mk-1603", 417, 10, {"Intestinal balance", "Баланс кишечника"},
                                {"Supports the recovery of the intestinal flora after antibiotics.",
                                 "Поддерживает восстановление кишечной флоры после антибиотиков."}),
                         marker("mk-1604", 741, 6, {"Joint mobility", "Подвижность суставов"},
                                {"Meant for stiffness of the joints and the spine.",
                                 "Предназначена при скованности суставов и позвоночника."}),
                         marker("mk-1605", 1240, 4, {"Skin renewal", "Обновление кожи"},
                                {"Supports the regeneration of the skin and its barrier function.",
                                 "Поддерживает регенерацию кожи и её барьерную функцию."}),
                         marker("mk-1606", 2100, 7, {"Recovery after exertion", "Восстановление после нагрузок"},
                                {"Speeds up recovery after physical and mental exertion.",
                                 "Ускоряет восстановление после физических и умственных нагрузок."}),
                     }),
         }},
    };
}

std::vector<StandardSymptom> makeStandardSymptoms()
{
    return {
        {1, {"Headache", "Головная боль"}},
        {2, {"Fatigue", "Усталость"}},
        {3, {"Insomnia", "Бессонница"}},
        {4, {"Anxiety", "Тревожность"}},
        {5, {"Back pain", "Боль в спине"}},
        {6, {"Joint pain", "Боль в суставах"}},
        {7, {"Digestive discomfort", "Дискомфорт в животе"}},
        {8, {"Irritability", "Раздражительность"}},
        {9, {"Low mood", "Подавленное настроение"}},
        {10, {"Dizziness", "Головокружение"}},
        {11, {"Muscle tension", "Мышечное напряжение"}},
        {12, {"Frequent colds", "Частые простуды"}},
    };
}

// Every storage and marker of both catalogues by id, built once; the
// pointers stay valid because the catalogues never change.
struct CatalogueIndex
{
    std::unordered_map<std::string, const StorageInfo*> storages;
    std::unordered_map<std::string, const MarkerInfo*> markers;
};

const CatalogueIndex& catalogueIndex()
{
    static const CatalogueIndex index = [] {
        CatalogueIndex built;
        for (const auto* catalogue : {&diagnosticCatalogue(), &correctiveCatalogue()}) {
            for (const CategoryInfo& category : *catalogue) {
                for (const StorageInfo& s : category.storages) {
                    built.storages.emplace(s.id, &s);
                    for (const MarkerInfo& m : s.markers)
                        built.markers.emplace(m.id, &m);
                }
            }
        }
        return built;
    }();
    return index;
}

} // namespace

const std::vector<CategoryInfo>& diagnosticCatalogue()
{
    static const std::vector<CategoryInfo> catalogue = makeDiagnosticCatalogue();
    return catalogue;
}

const std::vector<CategoryInfo>& correctiveCatalogue()
{
    static const std::vector<CategoryInfo> catalogue = makeCorrectiveCatalogue();
    return catalogue;
}

const StorageInfo* findStorage(const std::string& id)
{
    const auto& storages = catalogueIndex().storages;
    const auto found = storages.find(id);
    return found == storages.end() ? nullptr : found->second;
}

const MarkerInfo* findMarker(const std::string& id)
{
    const auto& markers = catalogueIndex().markers;
    const auto found = markers.find(id);
    return found == markers.end() ? nullptr : found->second;
}

const std::vector<StandardSymptom>& standardSymptoms()
{
    static const std::vector<StandardSymptom> symptoms = makeStandardSymptoms();
    return symptoms;
}

const StandardSymptom* findStandardSymptom(int id)
{
    const auto& symptoms = standardSymptoms();
    // Ids are 1.. in order.
    if (id < 1 || id > int(symptoms.size()))
        return nullptr;
    return &symptoms[std::size_t(id - 1)];
}

} // namespace localservice
