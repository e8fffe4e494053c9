#pragma once
// The texts and the limit that the platform page recognition and the order readers share.
#include <QString>

namespace ximport {

// Markup beyond this is no platform page: it is refused, not searched or read.
constexpr qsizetype kMaxPageMarkup = 8 * 1024 * 1024;
// What the agent is told about a refused page.
inline QString PageTooLargeMessage() {
    return QStringLiteral("平台页面过大，无法读取");
}

// The status text when an order page could not be read.
inline QString UnreadableOrderStatus() {
    return QStringLiteral("提取信息失败！订单页面无法识别");
}
// The status text when the platform's pages stop leading anywhere or one is too large.
inline QString StalledRetrievalStatus() {
    return QStringLiteral("提取信息失败！平台页面无法识别");
}
// The status text after an order was read.
inline QString OrderReadStatus() {
    return QStringLiteral("获取成功，可以打印！");
}

} // namespace ximport
