// Which names a settings file may have: the settings mail carries files of
// the home directory under their plain names, and a settings mail fetched
// from the server brings back only names of the settings files the program
// writes, so that a damaged or hostile mail can neither leave the home
// directory nor replace a mail, a cache or the list of trusted certificates.
#pragma once

#include <string>
#include <vector>

// One component (no '/' or '\'; the 0x5C of 表 is no separator), no control
// character and none of the characters Windows file systems refuse, neither
// beginning with a dot nor ending with a dot or a blank.
bool IsPlainFileName(const std::string& name);

// A template text file, "Qim<decimal>.thd" or "Qim<decimal>.ttl".
bool IsTemplateFileName(const std::string& name);

// Names the program gives to other things in the home directory: mail files
// (digits only), the caches, the trusted certificates, and the settings files
// that travel under their own rules (a list file of the address book never
// stands in for them). Letter case is ignored.
bool IsReservedHomeName(const std::string& name);

// The list files an ALIAS.INI names (address values "\name"), each once, in
// the order the file holds them: names without a folder go to `plain` (as
// they are: the caller judges them), names with a folder below the home
// directory to `inFolders`. References that lead out of the home directory
// are not list files (the address book never opens them). A file that cannot
// be read names none.
void AliasListFiles(const std::string& aliasIniPath, std::vector<std::string>& plain,
                    std::vector<std::string>& inFolders);
