// The corrective catalogue: what the recipe screen picks markers from.
#include "signal/CatalogueBuilders.h"

namespace localservice {

namespace {

using catalogue::marker;
using catalogue::storage;

// The ids are part of the service's data: stored recipes refer to them.
// Never renumber; add new ones after the last.
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

} // namespace

const std::vector<CategoryInfo>& correctiveCatalogue()
{
    static const std::vector<CategoryInfo> catalogue = makeCorrectiveCatalogue();
    return catalogue;
}

} // namespace localservice
