// The header of the mail being composed: the fields as the user sees them
// (Shift_JIS) and the header text built from them, CR LF lines of at most
// kHeaderTextSize - 1 bytes in all. SEMailHeader writes its lines as they are
// (long ones folded at blanks and commas); SEMailMimeHeader encodes them as
// MIME encoded words and adds the MIME-Version and Content-Type lines.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

// The source message's fields a reply starts from, each the unfolded and
// decoded value; a field that occurs twice has both values run together.
struct SReplyFields {
    std::string replyAddress;  // Reply-To when there is one, else From
    std::string from;
    std::string subject;
    std::string messageId;
    std::string date;
    std::string to;
    std::string cc;
    std::string replyTo;
    std::string bcc;
    std::string inReplyTo;
    std::string references;
};

class SEMailHeader {
public:
    // Fields, as the user typed them.
    std::string from;
    std::string sender;
    std::string replyTo;
    std::string to;
    std::string cc;
    std::string bcc;
    std::string subject;
    std::string extraHeader;  // free header lines, written without a field name
    std::string date;         // set by Build
    std::string xMailer;
    std::string inReplyTo;
    std::string references;   // the ids of the thread, oldest first, blank-separated
    std::string messageId;    // the id Build made last
    std::string cryptVersion;
    // Host part of new message ids; the local host name when empty.
    std::string clientAddr;

    virtual ~SEMailHeader() = default;

    // Rebuilds the header text from the fields: the date is set to now and a
    // new message id is made. False at the
    // first line that does not fit (the text then holds the lines before it).
    virtual bool Build();
    // Reads the header of a stored message into `fields` (lines of up to 1000
    // bytes, up to the first empty line). False when the file cannot be read.
    virtual bool ReadReplyFields(const char* path, SReplyFields& fields);
    // Appends "name" + value as one header line (CR LF added). False, leaving
    // the text unchanged, when it would not fit.
    virtual bool AddLine(const char* name, const std::string& value);

    const std::string& HeaderText() const { return headerText_; }
    // Replaces the header text (a header read from a finished message file).
    void SetHeaderText(const std::string& text) { headerText_ = text; }
    // Appends text as it is, under the size limit.
    bool AppendText(const std::string& text);

    // Creates or truncates `path` and writes the header text, then the empty
    // line that ends a header when `withEmptyLine`. False when the file cannot
    // be opened or a write fails.
    bool WriteHeaderText(const char* path, bool withEmptyLine) const;

    // The header text has a From and a Date line, and a To or Cc line or the
    // Bcc field is not empty.
    bool CheckHeader() const;

    // The recipients: the addresses of the header text's To and Cc lines,
    // then those of the Bcc field, in that order.
    void CollectRecipients();
    bool HasMoreRecipients() const { return cursor_ < recipients_.size(); }
    const std::string& NextRecipient() { return recipients_[cursor_++]; }
    const std::vector<std::string>& Recipients() const { return recipients_; }

    // The address of the From field, for MAIL FROM.
    std::string FromAddress() const;

protected:
    // Appends a finished line (CR LF included) under the size limit.
    bool AppendLine(const std::string& line);
    // One line of the extra header text.
    virtual bool AddExtraLine(const std::string& line);
    // Lines after the common fields (the MIME lines of the subclass).
    virtual bool AddClosingLines() { return true; }

    std::string headerText_;
    std::vector<std::string> recipients_;
    std::size_t cursor_ = 0;
};

class SEMailMimeHeader : public SEMailHeader {
public:
    std::string mimeVersion;  // "1.0" once a maker set it; no line while empty
    std::string contentType;

    bool ReadReplyFields(const char* path, SReplyFields& fields) override;
    // The whole line is encoded (SHeaderMime::EncodeALine).
    bool AddLine(const char* name, const std::string& value) override;

protected:
    bool AddExtraLine(const std::string& line) override;
    bool AddClosingLines() override;
};

// "name" + value folded as SEMailHeader folds a line: from 73 bytes on, after
// the last comma, blank or tab less than 72 bytes into each segment, with
// "\r\n\t" inserted; a segment without such a character stays long.
std::string FoldHeaderLine(const std::string& line);

// A new message id "<YYYYMMDDhhmmss.R@domain>" (UTC), for every mail sent: R
// is 16 hex digits from the system's random source (behind "n." when the
// MessageNum counter is on, which it steps in CONFIG.INI); the domain is the
// sender's, else `clientAddr`, else the host name.
std::string MakeMessageId(const std::string& senderAddress, const std::string& clientAddr);

// "Sat, 6 Jun 1998 12:34:56 +0900": now, as Japan's clock shows it, so the
// fixed zone of the Date field is right whatever the machine's zone.
std::string CurrentInetDate();

// The multipart boundary "QimKuGiRi-<seconds>=_<letter>".
std::string MakeBoundary();
