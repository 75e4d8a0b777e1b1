// Qt's own texts (standard buttons, file dialogs, the context menus of line
// edits and text views) in Japanese. Every text of the program's own is
// Japanese, so Qt's follow whatever the locale says.
#pragma once

class QTranslator;

// Loads qtbase_ja from Qt's translations folder into `translator` and installs
// it in the running application; false when the file is not there.
bool InstallQtJapanese(QTranslator& translator);
