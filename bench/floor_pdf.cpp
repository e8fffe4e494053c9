// Floor of the receipt benchmark: a minimal Qt program that writes one PDF page with a few
// Chinese and Latin texts in the receipts' fonts. Usage: bench_floor_pdf OUT.pdf
#include <QFont>
#include <QGuiApplication>
#include <QPainter>
#include <QPdfWriter>

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc < 2) return 2;
    QPdfWriter pdf(QString::fromLocal8Bit(argv[1]));
    pdf.setPageSize(QPageSize(QSizeF(241, 102), QPageSize::Millimeter));
    QPainter p(&pdf);
    p.setFont(QFont(QStringLiteral("WenQuanYi Zen Hei"), 12));
    p.drawText(200, 400, QStringLiteral("张三  北京首都   T3  上海虹桥   T2"));
    p.setFont(QFont(QStringLiteral("DejaVu Sans"), 9));
    p.drawText(200, 800, QStringLiteral("CA1501  Y  2026-03-12  08:30  CNY 1230.00"));
    return p.end() ? 0 : 1;
}
