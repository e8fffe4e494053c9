#include "shell/main_window/menu_table.h"

namespace shell {
namespace {

// A group of web entries whose ids are prefix + (index + first).
TopMenu webMenu(const char* control, const char* caption, const char* array, const char* prefix,
                int first, std::initializer_list<const char*> captions) {
    TopMenu m{QString::fromUtf8(control), QString::fromUtf8(caption), true, {}};
    int i = 0;
    for (const char* c : captions) {
        m.items.append({QString::fromUtf8(array), i, QString::fromUtf8(c), MenuAction::Web,
                        QString::fromUtf8(prefix) + QString::number(i + first), true});
        ++i;
    }
    return m;
}

QList<TopMenu> buildTable() {
    QList<TopMenu> t;
    t << webMenu("m_Attendants", "出票员菜单(&A)", "m_Att", "1_", 0,
                 {"订单监控", "会员管理", "所有订单", "乘机人信息", "密码修改"});
    t << webMenu("m_Tstaff", "出票员菜单(&T)", "m_TSt", "2_", 1,
                 {"申请出票", "申请退废", "所有订单", "出票订单", "退废订单"});
    t << webMenu("m_Insurance", "保险菜单(&I)", "m_Ins", "3_", 1,
                 {"申请设保", "申请退保", "所有保单", "投保统计"});
    TopMenu sms = webMenu("m_Sms", "短信系统(&S)", "m_Sm", "4_", 1,
                          {"短信单发", "短信群发", "发送记录", "短信设置", "打开短信窗口"});
    sms.items[4].action = MenuAction::SmsPanel;
    sms.items[4].navId.clear();
    t << sms;
    t << webMenu("m_Finance", "财务系统(&F)", "m_Fin", "5_", 1,
                 {"未结算订单", "应收款项", "应支款项", "兑换积分款项", "所有订单", "收支操作",
                  "基本状况", "日报表", "销售统计", "话务员业绩", "会员购票统计", "财务流水"});
    t << webMenu(
        "m_Web", "网站管理(&W)", "m_We", "6_", 1,
        {"网站设置", "收款设置", "航班查询接口设置", "优惠设置", "特价机票管理", "文字信息管理"});
    t << webMenu("m_System", "人事及系统(&S)", "m_Sys", "7_", 1,
                 {"员工管理", "公司信息修改", "积分规则设置", "会员卡号规则设置", "退出系统"});
    t << TopMenu{QStringLiteral("m_TelManage"), QStringLiteral("呼叫中心(&T)"), false, {}};
    const QString print = QStringLiteral("m_Print");
    t << TopMenu{
        QStringLiteral("m_PrintT"),
        QStringLiteral("单据打印(&P)"),
        true,
        {{print, 0, QStringLiteral("国内行程单打印"), MenuAction::PrintDomestic, {}, true},
         {print, 1, QStringLiteral("国际行程单打印"), MenuAction::PrintInternational, {}, true},
         {print, 2, QStringLiteral("送票单打印"), MenuAction::None, {}, false}}};
    const QString tool = QStringLiteral("m_Too");
    t << TopMenu{QStringLiteral("m_Tool"),
                 QStringLiteral("常用工具(&O)"),
                 true,
                 {{tool, 0, QStringLiteral("航班查询"), MenuAction::None, {}, false},
                  {tool, 1, QStringLiteral("到港信息查询"), MenuAction::None, {}, false}}};
    t << TopMenu{QStringLiteral("m_Help"),
                 QStringLiteral("岚舟帮您(&H)"),
                 true,
                 {{QStringLiteral("m_CallHz"),
                   -1,
                   QStringLiteral("联系岚舟(&C)"),
                   MenuAction::Contact,
                   {},
                   true}}};
    return t;
}

} // namespace

QString MenuItem::objectName() const {
    return index < 0 ? control : control + u'(' + QString::number(index) + u')';
}

const QList<TopMenu>& MainMenuTable() {
    static const QList<TopMenu> kTable = buildTable();
    return kTable;
}

} // namespace shell
