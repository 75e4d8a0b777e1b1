// The header of an unsent mail: written from the compose window's fields when
// a draft is saved (MIME-encoded lines, Bcc kept so the draft loses nothing,
// the attachment record), and read back when the draft is opened again.
#pragma once

#include <string>

#include "send/SAttachmentList.h"
#include "send/SEMailHeader.h"

class SHalfwayHeader : public SEMailMimeHeader {
public:
    // Takes the fields of the compose window's header.
    void TakeFields(const SEMailHeader& from);
    // The draft's header text: Date, the fields, Bcc, the extra lines, X-Mailer,
    // then MIME-Version and Content-Type unless `mode` is 2, then the
    // "X-Qim-Attach-Files: " line when files are attached. No message id is
    // made: a draft takes one when it is really sent. False when it does not fit.
    bool BuildDraft(int mode, const SAttachmentList& attachments);

    // Reads the header of an unsent mail (unfolded, decoded) into the fields;
    // the values of "X-Qim-Attach-Files: " lines go into `attachments` (at most
    // the record of kAttachRecordSize bytes). False when the file cannot be read.
    bool ReadDraft(const char* path, SAttachmentList& attachments);
};

// The unsent-mail mode that leaves out the MIME lines.
constexpr int kDraftModeNoMime = 2;
