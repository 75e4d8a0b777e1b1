#include "print/SPrintedMail.h"

#include <QDateTime>

#include "common/SMailText.h"

QString LocalDate(const std::string& utf8) {
    const QDateTime when = QDateTime::fromString(QString::fromUtf8(utf8.c_str()).simplified(), Qt::RFC2822Date);
    if (!when.isValid()) return QString::fromUtf8(utf8.c_str());
    static const char* const kDays[] = {"月", "火", "水", "木", "金", "土", "日"};
    const QDateTime local = when.toLocalTime();
    return local.toString("yyyy/MM/dd") + "(" + QString::fromUtf8(kDays[local.date().dayOfWeek() - 1]) + ") " +
           local.toString("HH:mm");
}

std::vector<std::pair<QString, QString>> ViewerHeaderBlock(const SMailView& view, bool allFields) {
    std::vector<std::pair<QString, QString>> lines;
    if (allFields) {
        for (const auto& [name, value] : view.fields)
            lines.emplace_back(QString::fromUtf8(name.c_str()), QString::fromUtf8(value.c_str()));
        return lines;
    }
    for (const char* name : {"From", "To", "Cc", "Date", "Subject"}) {
        const std::string value = view.Field(name);
        if (value.empty()) continue;
        const bool date = std::string_view(name) == "Date";
        lines.emplace_back(QString::fromUtf8(name), date ? LocalDate(value) : QString::fromUtf8(value.c_str()));
    }
    return lines;
}

SPrintedMail PrintedMailOf(const SMailView& view, bool allFields) {
    SPrintedMail mail;
    mail.subject = QString::fromUtf8(view.Field("Subject").c_str());
    mail.header = ViewerHeaderBlock(view, allFields);
    mail.body = QString::fromUtf8(view.body.data(), static_cast<qsizetype>(view.body.size()));
    return mail;
}

QString SPrintedMail::Text() const {
    QString text;
    for (const auto& [name, value] : header) text += name + ": " + value + "\n";
    text += "\n";
    text += body;
    return text;
}
