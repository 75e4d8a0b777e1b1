// The list of files attached to the mail being composed: adding files through
// the file selection (qimcmd::AddAttachment), taking entries out (qimcmd::ArrangeAttachments), the
// size estimate shown before a send, and the "X-Qim-Attach-Files" record of
// an unsent mail. Paths are Shift_JIS.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/DialogService.h"

using SAttachmentList = std::vector<std::string>;

// Opens the file selection (several files at once, title qimstr::ChooseAttachments) and
// adds the chosen files; a file already listed is added again only on a Yes
// to qimstr::AttachmentListed. False when the user chose nothing.
bool ChooseAttachments(SAttachmentList& list, platform::ParentWindow owner);
// Takes the entries at `indexes` out of the list (the rest keep their order).
void RemoveAttachments(SAttachmentList& list, const std::vector<int>& indexes);

// The sizes of all files: false (`failedPath` names the file) when one cannot
// be read. A file of 4 GB or more stands for a total of 1048577 bytes and
// ends the sum, as the size question then comes up anyway.
bool AttachmentsTotalSize(const SAttachmentList& list, std::uint64_t& total, std::string* failedPath = nullptr);
// KB before and after base64: total / 1024 + 1 and ((total + 2) * 4 / 3) / 1024 + 1.
long TotalKB(std::uint64_t total);
long EncodedKB(std::uint64_t total);
// qimstr::AttachmentSizeText "(計約 %ldKB。変換後約 %ldKB)" for the total.
std::string AttachmentSizeText(std::uint64_t total);
// The paths joined by ", ", cut with "..." before the text would pass kAttachListTextMax bytes.
std::string AttachmentListText(const SAttachmentList& list);

// "X-Qim-Attach-Files: " + each path in double quotes, separated by ", ".
std::string AttachFilesHeaderLine(const SAttachmentList& list);
// The paths of one such value added to `list`. `used` counts the bytes of
// values taken so far; a value that would pass the record of kAttachRecordSize bytes is
// refused (false, nothing added).
bool ReadAttachFilesValue(const std::string& value, SAttachmentList& list, std::size_t& used);
