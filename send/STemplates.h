// Templates: prepared texts of the compose window. Head templates are chosen
// in the header dialog and expanded with fields of the mail replied to; tail
// templates (signatures and the like) are appended from a menu. The names
// live in the "Template" section of CONFIG.INI, each text in a file of the
// home directory named after the name's hash.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "send/SEMailHeader.h"

enum class STemplateKind { Head, Tail };

// A template text holds at most this many bytes.
constexpr std::size_t kTemplateTextSize = 1024;
// A template name holds at most this many bytes.
constexpr std::size_t kTemplateNameSize = 256;

// The hash that names a template's file: 32-bit FNV-1a over the name's
// Shift_JIS bytes (offset basis 2166136261, prime 16777619). It must never
// change: files written under another hash are not found again.
std::uint32_t TemplateNameHash(const std::string& name);

// "Qim<hash>.thd" (head) or "Qim<hash>.ttl" (tail) in the home directory.
std::string TemplateFilePath(STemplateKind kind, const std::string& name);

class STemplateList {
public:
    explicit STemplateList(STemplateKind kind) : kind_(kind) {}

    // The names in list order ("HeadNum", "Head0", ...; the same with "Tail").
    std::vector<std::string> ReadNames() const;
    // Count first, then each name; the keys beyond the new count are removed.
    bool WriteNames(const std::vector<std::string>& names) const;
    // The name chosen by default ("HeadDefSel"); empty when none.
    std::string ReadDefault() const;
    // An empty name removes the key.
    bool WriteDefault(const std::string& name) const;

    // The text of a template; false when its file cannot be read. At most
    // kTemplateTextSize bytes.
    bool ReadText(const std::string& name, std::string& text) const;
    // Writes the file (the text cut to kTemplateTextSize bytes, whole
    // characters) and marks the templates as changed.
    bool WriteText(const std::string& name, const std::string& text) const;
    // Removes a template's file (its name left the list).
    bool RemoveText(const std::string& name) const;

    STemplateKind Kind() const { return kind_; }

private:
    STemplateKind kind_;
};

// Whether a template file was written during this run (or since the reset,
// once the server holds the settings as they are).
bool TemplatesChanged();
void ResetTemplatesChanged();

// Where %X and %A look: the From substitution of the header list and the
// address book. Unset: the plain From.
struct STemplateSources {
    std::function<std::string(const std::string& from)> substitutedFrom;
    std::function<bool(const std::string& address, std::string& aliasName)> aliasName;
};

// A head template with its sequences replaced: %F From, %S Subject, %D Date,
// %I Message-Id, %X the substituted From, %A the address book's name of the
// sender (either letter case); a "%" before anything else stays as it is.
std::string ExpandHeadTemplate(const std::string& text, const SReplyFields& source, const STemplateSources& sources);
