// Changing a mark of the selected mails of a server folder: one flag change
// (operation 760) per run of consecutive numbers with the mark byte and the
// direction given. Once the server took the read mark, the list shows it.
#pragma once

#include "imap/SDeleteMailsInServer.h"

class SChangeAttribMailsInServer : public SDeleteMailsInServer {
public:
    // The mark byte made into flags, added (true) or removed.
    void SetMark(unsigned char mark, bool add) {
        mark_ = mark;
        add_ = add;
    }
    unsigned char Mark() const { return mark_; }
    bool Adds() const { return add_; }

    // Nothing to close: the marks of the runs the server took are shown
    // (also after a failed run).
    bool Finish(bool ok) override;

protected:
    int Operation() const override;
    void FillRequest(SImap4Request& request) const override;
    void Confirmed(int first, int last) override;

private:
    unsigned char mark_ = 0;
    bool add_ = true;
};
