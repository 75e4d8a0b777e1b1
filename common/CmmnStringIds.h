// Identifiers of the common library's string table (LoadStringCmmnDll). The
// numbers are shared with the program, which cites them.
#pragma once

namespace cmmnstr {

constexpr unsigned FontNotSaved = 1700;
constexpr unsigned VersionMismatch = 1710;
constexpr unsigned DecryptFailed = 1711;
constexpr unsigned HeaderParseFailed = 1721;
constexpr unsigned CannotOpenFile = 1722;
constexpr unsigned Strange = 1723;
constexpr unsigned StrangeCannotDecrypt = 1726;
constexpr unsigned Aborting = 1727;
constexpr unsigned AttachmentOmitted = 1728;
constexpr unsigned FilterAllText = 1731;
constexpr unsigned FilterExecutable = 1732;
constexpr unsigned FilterArchive = 1733;
constexpr unsigned FilterAll = 1734;
constexpr unsigned FilterUnsentMail = 1735;
constexpr unsigned EnterKey = 1741;
constexpr unsigned EnterKeyAgain = 1742;
constexpr unsigned KeysDiffer = 1743;
constexpr unsigned EnterAddress = 1744;
constexpr unsigned EnterKeyFileKey = 1745;
constexpr unsigned CannotOpenKeyFile = 1746;
constexpr unsigned CannotReadKeyFile = 1747;
constexpr unsigned KeyFileKeyWrong = 1748;
constexpr unsigned CannotReadListBox = 1749;
constexpr unsigned CannotWriteKeyFile = 1750;
constexpr unsigned CannotSaveKeyFileLock = 1751;
constexpr unsigned NoLoginPassword = 1752;
constexpr unsigned EnterKeyForMail = 1760;
constexpr unsigned EnterMailKey = 1761;
constexpr unsigned CannotRegisterMore = 1770;
constexpr unsigned BadFileName = 1780;
constexpr unsigned AddressFolderInput = 1781;
constexpr unsigned NewFolderName = 1782;
constexpr unsigned ConfirmDelete = 1783;
constexpr unsigned CannotDeleteIt = 1784;
constexpr unsigned SpecialFolder = 1785;
constexpr unsigned CannotWriteOut = 1786;
constexpr unsigned SameFolderMove = 1787;
constexpr unsigned FolderExists = 1788;
constexpr unsigned ConfirmDeleteAddresses = 1789;
constexpr unsigned CannotDelete = 1790;
constexpr unsigned CannotRename = 1791;
constexpr unsigned CannotSetNonMenu = 1792;
constexpr unsigned SettingsBroken = 1793;
constexpr unsigned AttachmentCount = 1800;
constexpr unsigned AttachmentsSaved = 1801;
constexpr unsigned ExtractFailed = 1802;
constexpr unsigned EnterFolderName = 1803;
constexpr unsigned FolderNotFound = 1804;
constexpr unsigned EnterAgain = 1805;
constexpr unsigned ExtractAttachment = 1810;
constexpr unsigned ExtractQuestion = 1811;
constexpr unsigned UnknownFileName = 1812;
constexpr unsigned UnknownType = 1813;
constexpr unsigned UnknownSubtype = 1814;
constexpr unsigned AttachmentKindSub = 1815;
constexpr unsigned AttachmentKind = 1816;
constexpr unsigned MediaTypeNames = 1817;
constexpr unsigned PgpControl = 1818;
constexpr unsigned PgpSignature = 1819;
constexpr unsigned PgpKey = 1820;
constexpr unsigned NotFound = 32540;

}  // namespace cmmnstr
