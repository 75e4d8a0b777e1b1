#include "print/MailPrintLayout.h"

#include <QAbstractTextDocumentLayout>
#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace {

// Page margins in millimetres: left, top, right, bottom.
const QMarginsF kMargins(18, 14, 18, 12);

void BuildDocument(QTextDocument& doc, const SPrintedMail& mail, const QFont& font, QPaintDevice* device) {
    doc.documentLayout()->setPaintDevice(device);
    doc.setDefaultFont(font);
    doc.setDocumentMargin(0);
    QTextOption option;
    // Japanese has no spaces to break at, and neither have long links.
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    option.setTabStopDistance(QFontMetricsF(font, device).horizontalAdvance(QLatin1Char(' ')) * 8);
    doc.setDefaultTextOption(option);

    QTextCursor cursor(&doc);
    QTextCharFormat plain;
    plain.setFont(font);
    QTextCharFormat bold = plain;
    bold.setFontWeight(QFont::Bold);
    bool first = true;
    const auto nextBlock = [&](const QTextBlockFormat& format) {
        if (!first) cursor.insertBlock(format, plain);
        else cursor.setBlockFormat(format);
        first = false;
    };
    for (const auto& [name, value] : mail.header) {
        nextBlock(QTextBlockFormat());
        cursor.insertText(name + ":", bold);
        cursor.insertText(" " + value, plain);
    }
    if (!mail.header.empty()) {
        QTextBlockFormat rule;
        rule.setProperty(QTextFormat::BlockTrailingHorizontalRulerWidth, QTextLength(QTextLength::PercentageLength, 100));
        rule.setTopMargin(QFontMetricsF(font, device).height() * 0.3);
        rule.setBottomMargin(QFontMetricsF(font, device).height() * 0.6);
        nextBlock(rule);
    }
    nextBlock(QTextBlockFormat());
    // Each LF becomes a block of its own.
    QString body = mail.body;
    if (body.endsWith('\n')) body.chop(1);
    cursor.insertText(body, plain);

}

}  // namespace

QFont PrintFont(const SPrintStyle& style) {
    QFont font;
    QStringList families;
    if (style.fixedFont) {
        families << "Noto Sans Mono CJK JP" << "IPAGothic" << "VL Gothic" << "TakaoGothic";
    } else {
        if (!style.family.isEmpty()) families << style.family;
        families << "Noto Sans CJK JP" << "IPAPGothic" << "VL PGothic" << "IPAGothic";
    }
    font.setFamilies(families);
    font.setStyleHint(style.fixedFont ? QFont::Monospace : QFont::SansSerif);
    font.setPointSizeF(style.pointSize);
    // Glyphs straight from the font's character map: a glyph that shaping
    // substitutes (digits next to a slash in these faces) has no character
    // in the PDF, so a copy or a search of the text would lose it.
    font.setStyleStrategy(QFont::PreferNoShaping);
    return font;
}

int PrintMailPages(QPagedPaintDevice& device, const SPrintedMail& mail, const SPrintStyle& style) {
    device.setPageMargins(kMargins, QPageLayout::Millimeter);
    QPainter painter;
    if (!painter.begin(&device)) return -1;
    const QFont font = PrintFont(style);
    QFont small = font;
    small.setPointSizeF(style.pointSize * 0.85);
    const QFontMetricsF smallMetrics(small, &device);
    const double mm = device.logicalDpiY() / 25.4;
    // The header line with its rule above the text, the page number below it.
    const double band = smallMetrics.height() + 4 * mm;
    const QRectF page(0, 0, device.width(), device.height());
    const QRectF content(page.left(), page.top() + band, page.width(), page.height() - 2 * band);

    QTextDocument doc;
    BuildDocument(doc, mail, font, &device);
    doc.setPageSize(content.size());
    const int pages = doc.pageCount();
    const QString subject = smallMetrics.elidedText(mail.subject, Qt::ElideRight, page.width());
    for (int i = 0; i < pages; ++i) {
        if (i > 0 && !device.newPage()) return -1;
        painter.save();
        painter.translate(content.left(), content.top() - i * content.height());
        QAbstractTextDocumentLayout::PaintContext context;
        context.clip = QRectF(0, i * content.height(), content.width(), content.height());
        painter.setClipRect(context.clip);
        doc.documentLayout()->draw(&painter, context);
        painter.restore();

        painter.setFont(small);
        painter.setPen(QColor(0x40, 0x40, 0x40));
        painter.drawText(QRectF(page.left(), page.top(), page.width(), smallMetrics.height()),
                         Qt::AlignLeft | Qt::AlignVCenter, subject);
        painter.setPen(QPen(QColor(0x80, 0x80, 0x80), 0.25 * mm));
        const double ruleY = page.top() + smallMetrics.height() + 1.5 * mm;
        painter.drawLine(QPointF(page.left(), ruleY), QPointF(page.right(), ruleY));
        painter.setPen(QColor(0x40, 0x40, 0x40));
        painter.drawText(QRectF(page.left(), page.bottom() - smallMetrics.height(), page.width(), smallMetrics.height()),
                         Qt::AlignHCenter | Qt::AlignVCenter,
                         QStringLiteral("- %1 / %2 -").arg(i + 1).arg(pages));
    }
    return painter.end() ? pages : -1;
}
