#include "ui/TMailViewPane.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QDesktopServices>
#include <QDialog>
#include <QFontDatabase>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QRegularExpression>
#include <QShortcut>
#include <QStyle>
#include <QUrl>
#include <QVBoxLayout>
#include <memory>
#include <QTextBlock>
#include <QTextCursor>
#include <algorithm>
#include <cstdio>
#include <cstring>

#include "app/TQimApp.h"
#include "config/QimCommandIds.h"
#include "config/QimRequestCodes.h"
#include "config/QimStringIds.h"
#include "config/QimStrings.h"
#include "config/QimLayoutSettings.h"
#include "config/QimSettingKeys.h"
#include "common/SFont.h"
#include "common/SMailText.h"
#include "platform/CodePage.h"
#include "platform/TextFile.h"
#include "platform/qt/QtText.h"
#include "print/SPrintedMail.h"
#include "ui/QtFonts.h"
#include "ui/TTextFind.h"


TMailViewPane::TMailViewPane(QWidget* parent) : QPlainTextEdit(parent), data_(this) {
    setReadOnly(true);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setObjectName("QimViewPane");
    SCryptContext context;
    context.parent = this;
    context.prompt = &keyPrompt_;
    data_.SetCryptContext(context);
    data_.SetBusyHook([](bool busy) {
        if (busy)
            QApplication::setOverrideCursor(Qt::WaitCursor);
        else
            QApplication::restoreOverrideCursor();
    });
    attachmentRow_ = new QListWidget(this);
    attachmentRow_->setObjectName("QimAttachmentRow");
    attachmentRow_->setFlow(QListView::LeftToRight);
    attachmentRow_->setWrapping(false);
    attachmentRow_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    attachmentRow_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    attachmentRow_->setSpacing(4);
    attachmentRow_->hide();
    connect(attachmentRow_, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { SaveAttachmentAt(attachmentRow_->row(item)); });
    viewport()->setMouseTracking(true);
    textFind_ = new TTextFind(this);
    new QShortcut(QKeySequence::Find, this, textFind_, &TTextFind::OpenFind, Qt::WidgetWithChildrenShortcut);
    new QShortcut(QKeySequence::FindNext, this, textFind_, &TTextFind::FindNext, Qt::WidgetWithChildrenShortcut);
    ReadSettings();
}

QFont TMailViewPane::ToQFont(const SFont& font, QColor* colour) { return ::ToQFont(font, colour); }

void TMailViewPane::ReadSettings() {
    SFont text, quote;
    ReadQimFont(qimini::MVDefFont, text);
    ReadQimFont(qimini::MVQuoteFont, quote);
    QColor colour;
    setFont(ToQFont(text, &colour));
    QPalette pal = palette();
    pal.setColor(QPalette::Text, colour);
    setPalette(pal);
    quoteFont_ = ToQFont(quote, &quoteColour_);
    quoteRule_.Read();
}

bool TMailViewPane::ShowMail(const std::string& mailPath, int number, const std::string& folder) {
    data_.Prepare(mailPath, number, folder);
    shown_ = mailPath;
    if (Render()) return true;
    Clear();
    return false;
}

namespace {

// "12 KB": a size as people read it.
QString ShownSize(long bytes) {
    if (bytes < 1024) return QString::number(bytes) + " B";
    if (bytes < 1024 * 1024) return QString::number((bytes + 1023) / 1024) + " KB";
    return QString::number(bytes / (1024.0 * 1024.0), 'f', 1) + " MB";
}

const QColor kLevelColours[] = {QColor(0x1f, 0x5f, 0xa8), QColor(0x2e, 0x7d, 0x32), QColor(0x8e, 0x3b, 0x9c),
                                QColor(0xa8, 0x5a, 0x00)};

}  // namespace

bool TMailViewPane::Render() {
    SMailView view;
    // Straight from the stored bytes to Unicode: a character that Shift_JIS
    // lacks (an emoji, a hangul) still shows.
    if (!MailFileViewUtf8(data_.TextPath().c_str(), view, kDisplayLimit, false)) return false;
    subject_ = view.Field("Subject");
    SPrintedMail shown;
    shown.header = ViewerHeaderBlock(view, allHeaders_);
    shown.body = QString::fromUtf8(view.body.data(), static_cast<qsizetype>(view.body.size()));
    const int headerLines = static_cast<int>(shown.header.size());
    const QString text = shown.Text();
    setPlainText(text);
    const std::string utf8 = text.toStdString();
    MarkQuotedLines(utf8);
    MarkHeaderAndLinks(text, headerLines);

    attachments_ = data_.Attachments();
    attachmentRow_->clear();
    for (const SAttachmentEntry& entry : attachments_) {
        const QString name = entry.name.empty() ? QString::fromUtf8("(名前なし)") : platform::ToQString(entry.name);
        auto* item = new QListWidgetItem(style()->standardIcon(QStyle::SP_FileIcon),
                                         name + "  (" + ShownSize(entry.size) + ", " +
                                             QString::fromUtf8(entry.type.c_str()) + ")");
        item->setToolTip(QString::fromUtf8("クリックで保存します"));
        attachmentRow_->addItem(item);
    }
    LayOutAttachmentRow();
    emit MailShown();
    return true;
}

void TMailViewPane::MarkHeaderAndLinks(const QString& text, int headerLines) {
    QTextCursor cursor(document());
    cursor.beginEditBlock();
    // The field names of the header block in bold.
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    for (int i = 0; i < headerLines; ++i) {
        const QTextBlock line = document()->findBlockByNumber(i);
        const int colon = line.text().indexOf(':');
        if (colon <= 0) continue;
        cursor.setPosition(line.position());
        cursor.setPosition(line.position() + colon + 1, QTextCursor::KeepAnchor);
        cursor.mergeCharFormat(bold);
    }
    // Links in the body.
    links_.clear();
    static const QRegularExpression kUrl(QStringLiteral(R"((?:https?|ftp)://[^\s<>"'、。「」（）]+|mailto:[^\s<>"']+)"));
    QTextCharFormat link;
    link.setForeground(QColor(0x1a, 0x0d, 0xab));
    link.setFontUnderline(true);
    for (auto it = kUrl.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        QString url = m.captured(0);
        while (!url.isEmpty() && QStringLiteral(".,;:)]!?").contains(url.back())) url.chop(1);
        const int start = static_cast<int>(m.capturedStart(0));
        const int end = start + static_cast<int>(url.size());
        cursor.setPosition(start);
        cursor.setPosition(end, QTextCursor::KeepAnchor);
        cursor.mergeCharFormat(link);
        links_.push_back({start, end, url.toStdString()});
    }
    cursor.endEditBlock();
}

void TMailViewPane::MarkQuotedLines(const std::string& text) {
    // Body lines only: a header field is never a quotation.
    std::size_t at = text.find("\n\n");
    if (at == std::string::npos) return;
    int block = static_cast<int>(std::count(text.begin(), text.begin() + at, '\n')) + 2;
    at += 2;
    QTextCursor cursor(document());
    cursor.beginEditBlock();
    while (at < text.size()) {
        std::size_t nl = text.find('\n', at);
        if (nl == std::string::npos) nl = text.size();
        // The rule's prefixes are Shift_JIS, as the settings keep them.
        const int level = quoteRule_.Level(platform::Utf8ToCp932Lossy(text.substr(at, nl - at)));
        if (level > 0) {
            const QTextBlock line = document()->findBlockByNumber(block);
            if (line.isValid()) {
                // The quote font, and a colour for each level: the stored quote
                // colour for the first when it differs from the text's.
                QTextCharFormat format;
                format.setFont(quoteFont_);
                const QColor text = palette().color(QPalette::Text);
                const bool ownColour = level == 1 && quoteColour_ != text;
                format.setForeground(ownColour ? quoteColour_ : kLevelColours[(level - 1) % 4]);
                cursor.setPosition(line.position());
                cursor.setPosition(line.position() + line.length() - 1, QTextCursor::KeepAnchor);
                cursor.setCharFormat(format);
            }
        }
        at = nl + 1;
        ++block;
    }
    cursor.endEditBlock();
}

std::string TMailViewPane::LinkAt(int position) const {
    for (const Link& l : links_)
        if (position >= l.start && position < l.end) return l.url;
    return std::string();
}

void TMailViewPane::mouseReleaseEvent(QMouseEvent* event) {
    QPlainTextEdit::mouseReleaseEvent(event);
    if (event->button() != Qt::LeftButton || textCursor().hasSelection()) return;
    const std::string url = LinkAt(cursorForPosition(event->pos()).position());
    if (url.empty()) return;
    if (openLink) openLink(url);
    else QDesktopServices::openUrl(QUrl(QString::fromStdString(url)));
}

void TMailViewPane::mouseMoveEvent(QMouseEvent* event) {
    QPlainTextEdit::mouseMoveEvent(event);
    const bool onLink = !LinkAt(cursorForPosition(event->pos()).position()).empty();
    viewport()->setCursor(onLink ? Qt::PointingHandCursor : Qt::IBeamCursor);
}

void TMailViewPane::contextMenuEvent(QContextMenuEvent* event) {
    std::unique_ptr<QMenu> menu(createStandardContextMenu(event->pos()));
    menu->addSeparator();
    QAction* all = menu->addAction(QString::fromUtf8("すべてのヘッダーを表示(&H)"));
    all->setCheckable(true);
    all->setChecked(allHeaders_);
    all->setEnabled(!shown_.empty());
    connect(all, &QAction::toggled, this, [this](bool on) { SetShowAllHeaders(on); });
    QAction* source = menu->addAction(QString::fromUtf8("ソースを表示(&S)"));
    source->setEnabled(!shown_.empty());
    connect(source, &QAction::triggered, this, [this] { ShowSource(); });
    if (registerSender) {
        QAction* sender = menu->addAction(platform::ToQString(LoadQimString(qimstr::RegisterSenderItem)));
        sender->setStatusTip(platform::ToQString(LoadQimString(qimcmd::RegisterSender)));
        sender->setEnabled(!shown_.empty());
        connect(sender, &QAction::triggered, this, [this] { registerSender(); });
    }
    menu->addSeparator();
    QAction* find = menu->addAction(platform::ToQString(LoadQimString(qimstr::ViewerFindItem)));
    find->setEnabled(!shown_.empty());
    connect(find, &QAction::triggered, textFind_, &TTextFind::OpenFind);
    QAction* next = menu->addAction(platform::ToQString(LoadQimString(qimstr::ViewerFindNextItem)));
    next->setEnabled(!shown_.empty() && !textFind_->Current().pattern.isEmpty());
    connect(next, &QAction::triggered, textFind_, &TTextFind::FindNext);
    menu->addSeparator();
    QAction* take = menu->addAction(QString::fromUtf8("添付ﾌｧｲﾙの取り出し(&D)"));
    take->setEnabled(!attachments_.empty());
    connect(take, &QAction::triggered, this, [this] { TakeOutAttachments(); });
    menu->exec(event->globalPos());
}

void TMailViewPane::SetShowAllHeaders(bool all) {
    if (allHeaders_ == all) return;
    allHeaders_ = all;
    if (!shown_.empty()) Render();
}

void TMailViewPane::ShowSource() {
    if (shown_.empty()) return;
    FILE* fp = platform::OpenFile(shown_.c_str(), "rb");
    if (!fp) return;
    std::string data;
    char block[1 << 16];
    for (std::size_t n; data.size() < kDisplayLimit && (n = std::fread(block, 1, sizeof block, fp)) > 0;)
        data.append(block, n);
    std::fclose(fp);
    // Line by line: a part in UTF-8 shows as such, the rest is the stored Shift_JIS.
    QString text;
    std::size_t at = 0;
    while (at < data.size()) {
        std::size_t end = data.find('\n', at);
        end = end == std::string::npos ? data.size() : end + 1;
        std::string line = data.substr(at, end - at);
        at = end;
        if (line.size() >= 2 && line[line.size() - 2] == '\r') line.erase(line.size() - 2, 1);
        text += platform::IsValidUtf8(line) ? QString::fromUtf8(line.c_str())
                                            : QString::fromUtf8(platform::Cp932ToUtf8Lossy(line).c_str());
    }
    auto* window = new QDialog(this);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setWindowTitle(QString::fromUtf8("ソース - ") + QString::fromUtf8(subject_.c_str()));
    auto* layout = new QVBoxLayout(window);
    auto* view = new QPlainTextEdit(window);
    view->setObjectName("QimSourceView");
    view->setReadOnly(true);
    view->setLineWrapMode(QPlainTextEdit::NoWrap);
    view->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    view->setPlainText(text);
    layout->addWidget(view);
    window->resize(720, 520);
    window->show();
}

int TMailViewPane::SaveAttachmentAt(int row) {
    if (row < 0 || row >= static_cast<int>(attachments_.size())) return 0;
    return data_.SaveAttachment(attachments_[static_cast<std::size_t>(row)], *prompt_);
}

void TMailViewPane::LayOutAttachmentRow() {
    const bool any = !attachments_.empty();
    const int height = any ? attachmentRow_->sizeHintForRow(0) + 2 * attachmentRow_->frameWidth() + 6 : 0;
    setViewportMargins(0, 0, 0, height);
    attachmentRow_->setVisible(any);
    const QRect inner = contentsRect();
    attachmentRow_->setGeometry(inner.left(), inner.bottom() - height + 1, inner.width(), height);
}

void TMailViewPane::resizeEvent(QResizeEvent* event) {
    QPlainTextEdit::resizeEvent(event);
    LayOutAttachmentRow();
}

void TMailViewPane::Clear() {
    shown_.clear();
    subject_.clear();
    attachments_.clear();
    links_.clear();
    if (attachmentRow_) attachmentRow_->clear();
    data_.Release();
    clear();
    LayOutAttachmentRow();
    emit MailShown();
}

int TMailViewPane::TakeOutAttachments() {
    if (shown_.empty()) return 0;
    return data_.TakeOutAttachments(*prompt_);
}

int TMailViewPane::Uudecode() {
    if (shown_.empty()) return 0;
    return data_.Uudecode();
}

void OpenLinkAsConfigured(const std::string& url) {
    std::string sjis;
    platform::FromQString(QString::fromUtf8(url.c_str()), sjis);
    SAppRequest request;
    request.code = qimreq::OpenUrl;
    request.text = sjis;
    if (TQimApp* app = TQimApp::Instance(); app && app->Requests().Has(qimreq::OpenUrl))
        app->Request(request);
    else
        QDesktopServices::openUrl(QUrl(QString::fromUtf8(url.c_str())));
}
