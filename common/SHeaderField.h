// The one test by which every header reader of the program finds a field by
// its name: as RFC 5322 names fields, without regard to ASCII case, and with
// blanks allowed before the colon. A field is one header line or an unfolded
// field, with its line end or without. `name` is written with its colon
// ("Subject:"); a blank after the colon in it is ignored.
#pragma once

#include <string>

// The text of `field` right after its colon when it is the field `name`, else
// null.
const char* HeaderFieldBody(const char* field, const char* name);
// The same after the blanks that follow the colon: where the value begins.
const char* HeaderFieldValue(const char* field, const char* name);
inline bool IsHeaderField(const char* field, const char* name) { return HeaderFieldBody(field, name) != nullptr; }
// The value without its line end; false (and `value` left alone) when the
// field has another name.
bool HeaderFieldText(const char* field, const char* name, std::string& value);
