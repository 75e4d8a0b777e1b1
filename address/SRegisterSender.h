// Registering an address: the sender of a shown mail made into an entry, and
// an entry appended to a folder and saved.
#pragma once

#include <string>

#include "address/SAlias.h"

// Splits a From field into its phrase and its address: "Name <a@b>",
// "\"Name\" <a@b>", "a@b (Name)" and a bare "a@b".
void SplitFromField(const std::string& from, std::string& phrase, std::string& address);
// The entry the add dialog starts with: the phrase as alias (the address when
// there is none), cut to what the alias may hold without halving a character.
SAlias AliasOfSender(const std::string& from);

// Appends `entry` to folder `folderId` (its entries read afresh) and saves
// the folder; false when the folder could not be written.
bool AppendAlias(int folderId, const SAlias& entry);
