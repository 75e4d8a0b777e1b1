// The OK and キャンセル buttons every settings dialog ends with.
#pragma once

class QDialog;
class QDialogButtonBox;

// Made for `dialog`, wired to accept and reject it.
QDialogButtonBox* OkCancel(QDialog* dialog);
