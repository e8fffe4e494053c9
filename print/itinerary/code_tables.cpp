#include "itinerary/code_tables.h"

#include "common/text_ops.h"

#include <QHash>

#include <array>
#include <iterator>

namespace itin {
namespace {

struct CodeName {
    const char16_t* code;
    const char16_t* name;
};

// In table order: a code listed twice resolves to its later row.
const CodeName kAirports[] = {
    {u"AKU", u"阿克苏"},   {u"AAT", u"阿勒泰"},   {u"AKA", u"安康"},     {u"AQG", u"安庆"},
    {u"AOG", u"鞍山"},     {u"PEK", u"北京"},     {u"BSD", u"保山"},     {u"BAV", u"包头"},
    {u"BHY", u"北海"},     {u"BFU", u"蚌埠"},     {u"CTU", u"成都"},     {u"CKG", u"重庆"},
    {u"CGQ", u"长春"},     {u"CGD", u"常德"},     {u"CSX", u"长沙"},     {u"CIH", u"长治"},
    {u"CZX", u"常州"},     {u"CHG", u"朝阳"},     {u"CIF", u"赤峰"},     {u"DAX", u"达县"},
    {u"DLC", u"大连"},     {u"DLU", u"大理"},     {u"DDG", u"丹东"},     {u"DAT", u"大同"},
    {u"DYG", u"大庸"},     {u"DNH", u"敦煌"},     {u"DOY", u"东营"},     {u"ENH", u"恩施"},
    {u"FOC", u"福州"},     {u"FUG", u"阜阳"},     {u"FYN", u"富蕴"},     {u"CAN", u"广州"},
    {u"KWE", u"贵阳"},     {u"KOW", u"赣州"},     {u"GOQ", u"格尔木"},   {u"GHN", u"广汉"},
    {u"KWL", u"桂林"},     {u"HGH", u"杭州"},     {u"HAK", u"海口"},     {u"HRB", u"哈尔滨"},
    {u"HLD", u"海拉尔"},   {u"HMI", u"哈密"},     {u"HZG", u"汉中"},     {u"HFE", u"合肥"},
    {u"HEK", u"黑河"},     {u"HNY", u"衡阳"},     {u"HTN", u"和田"},     {u"TXN", u"黄山"},
    {u"HYN", u"黄岩"},     {u"HET", u"呼和浩特"}, {u"JIU", u"九江"},     {u"KNC", u"吉安"},
    {u"JDZ", u"景德镇"},   {u"JJN", u"晋江"},     {u"JMU", u"佳木斯"},   {u"JGN", u"嘉峪关"},
    {u"JIL", u"吉林"},     {u"TNA", u"济南"},     {u"JNG", u"济宁"},     {u"JGS", u"井冈山"},
    {u"JHG", u"景洪"},     {u"JNZ", u"锦州"},     {u"CHW", u"酒泉"},     {u"JZH", u"九寨沟"},
    {u"KMG", u"昆明"},     {u"KRY", u"克拉玛依"}, {u"KHG", u"喀什"},     {u"KRL", u"库尔勒"},
    {u"KCA", u"库车"},     {u"LHW", u"兰州"},     {u"LXA", u"拉萨"},     {u"LYG", u"连云港"},
    {u"LJG", u"丽江"},     {u"LYI", u"临沂"},     {u"LZH", u"柳州"},     {u"LYA", u"洛阳"},
    {u"LZO", u"泸州"},     {u"LUM", u"芒市"},     {u"NZH", u"满洲里"},   {u"MXZ", u"梅县"},
    {u"MIG", u"绵阳"},     {u"MDG", u"牡丹江"},   {u"NKG", u"南京"},     {u"KHN", u"南昌"},
    {u"NNG", u"南宁"},     {u"NGB", u"宁波"},     {u"NAO", u"南充"},     {u"NTG", u"南通"},
    {u"NNY", u"南阳"},     {u"TAO", u"青岛"},     {u"IQM", u"且末"},     {u"IQN", u"庆阳"},
    {u"SHP", u"秦皇岛"},   {u"NDG", u"齐齐哈尔"}, {u"JJN", u"泉州"},     {u"JUZ", u"衢州"},
    {u"SHA", u"上海虹桥"}, {u"PVG", u"上海浦东"}, {u"SZX", u"深圳"},     {u"SYX", u"三亚"},
    {u"SWA", u"汕头"},     {u"SHS", u"沙市"},     {u"SHE", u"沈阳"},     {u"SJW", u"石家庄"},
    {u"SYM", u"思茅"},     {u"SZV", u"苏州"},     {u"TCG", u"塔城"},     {u"TYN", u"太原"},
    {u"TSN", u"天津"},     {u"TNH", u"通化"},     {u"TGO", u"通辽"},     {u"TEN", u"铜仁"},
    {u"WNZ", u"温州"},     {u"WXN", u"万县"},     {u"WEF", u"潍坊"},     {u"WEH", u"威海"},
    {u"WUH", u"武汉天河"}, {u"WJD", u"王家墩"},   {u"HLH", u"乌兰浩特"}, {u"URC", u"乌鲁木齐"},
    {u"WUS", u"武夷山"},   {u"WUZ", u"梧州"},     {u"WUX", u"无锡"},     {u"XIY", u"西安咸阳"},
    {u"XMN", u"厦门"},     {u"XFN", u"襄樊"},     {u"XIC", u"西昌"},     {u"XIL", u"锡林浩特"},
    {u"XNN", u"西宁"},     {u"XUZ", u"徐州"},     {u"ENY", u"延安"},     {u"YNJ", u"延吉"},
    {u"YNT", u"烟台"},     {u"YNZ", u"盐城"},     {u"YBP", u"宜宾"},     {u"YIH", u"宜昌"},
    {u"INC", u"银川"},     {u"YIN", u"伊宁"},     {u"YIW", u"义乌"},     {u"UYN", u"榆林"},
    {u"YCU", u"运城"},     {u"JHG", u"西双版纳"}, {u"ZAT", u"昭通"},     {u"DYG", u"张家界"},
    {u"ZHA", u"湛江"},     {u"DIG", u"中甸"},     {u"CGO", u"郑州"},     {u"HSN", u"舟山"},
    {u"ZUH", u"珠海"},     {u"ZYI", u"遵义"},     {u"BJS", u"北京首都"},
};

const CodeName kAirlines[] = {
    {u"CA", u"国航"},   {u"MU", u"东航"}, {u"CZ", u"南航"}, {u"FM", u"上航"}, {u"HU", u"海航"},
    {u"SC", u"山航"},   {u"MF", u"厦航"}, {u"3U", u"川航"}, {u"ZH", u"深航"}, {u"HO", u"吉祥"},
    {u"KN", u"中联航"}, {u"8L", u"祥鹏"}, {u"8K", u"奥凯"}, {u"EU", u"成都"}, {u"8C", u"东星"},
    {u"G5", u"华夏"},   {u"PN", u"西部"}, {u"OQ", u"重庆"}, {u"NS", u"河北"}, {u"CN", u"大新华"},
    {u"GS", u"天津"},   {u"VD", u"鲲鹏"}, {u"JD", u"首都"}, {u"JR", u"幸福"}, {u"KY", u"昆航"},
    {u"TV", u"西藏"},
};

const char16_t* const kMonths[] = {u"JAN", u"FEB", u"MAR", u"APR", u"MAY", u"JUN",
                                   u"JUL", u"AUG", u"SEP", u"OCT", u"NOV", u"DEC"};

// Upper case of a short code. Plain ASCII is handled here without allocating; anything
// else goes through QString::toUpper, whose result may differ in length.
struct UpperKey {
    char16_t buffer[4] = {};
    QString other;
    QStringView view;
};

void upperKey(QStringView s, UpperKey& key) {
    if (s.size() <= 4) {
        bool ascii = true;
        for (qsizetype i = 0; i < s.size() && ascii; ++i) {
            const char16_t c = s[i].unicode();
            ascii = c < 128;
            key.buffer[i] = (c >= u'a' && c <= u'z') ? char16_t(c - 32) : c;
        }
        if (ascii) {
            key.view = QStringView(key.buffer, s.size());
            return;
        }
    }
    key.other = s.toString().toUpper();
    key.view = key.other;
}

// Airport codes packed into one number each, with their names; built once from the table in
// order, so a code listed twice keeps its later row.
quint32 packCode(QStringView code) {
    return (quint32(code[0].unicode()) << 21) ^ (quint32(code[1].unicode()) << 10) ^
           quint32(code[2].unicode());
}

const QHash<quint32, std::pair<QStringView, QString>>& airportIndex() {
    static const QHash<quint32, std::pair<QStringView, QString>> index = [] {
        QHash<quint32, std::pair<QStringView, QString>> h;
        for (const auto& row : kAirports)
            h.insert(packCode(row.code), {QStringView(row.code), QString::fromUtf16(row.name)});
        return h;
    }();
    return index;
}

const std::array<QString, std::size(kAirlines)>& airlineNames() {
    static const auto names = [] {
        std::array<QString, std::size(kAirlines)> out;
        for (size_t i = 0; i < std::size(kAirlines); ++i)
            out[i] = QString::fromUtf16(kAirlines[i].name);
        return out;
    }();
    return names;
}

const std::array<QString, 12>& monthNumbers() {
    static const auto numbers = [] {
        std::array<QString, 12> out;
        for (int i = 0; i < 12; ++i)
            out[size_t(i)] = QStringLiteral("%1").arg(i + 1, 2, 10, QLatin1Char('0'));
        return out;
    }();
    return numbers;
}

} // namespace

QString AirportCityName(QStringView code) {
    if (code.size() != 3) return {};
    UpperKey key;
    upperKey(code, key);
    if (key.view.size() != 3) return {};
    const auto& index = airportIndex();
    const auto it = index.constFind(packCode(key.view));
    if (it == index.constEnd() || it->first != key.view) return {};
    return it->second;
}

QString AirlineShortName(QStringView designator) {
    UpperKey key;
    upperKey(designator, key);
    const QStringView trimmed = common::TrimSpacesView(key.view);
    for (size_t i = 0; i < std::size(kAirlines); ++i)
        if (trimmed == QStringView(kAirlines[i].code)) return airlineNames()[i];
    static const QString unknown = QStringLiteral("未知");
    return unknown;
}

QString MonthNumber(QStringView month) {
    UpperKey key;
    upperKey(month, key);
    for (int i = 0; i < 12; ++i)
        if (key.view == QStringView(kMonths[i])) return monthNumbers()[size_t(i)];
    return {};
}

} // namespace itin
