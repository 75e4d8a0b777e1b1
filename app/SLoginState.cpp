#include "app/SLoginState.h"

#include <QMetaObject>
#include <QObject>

#include "config/QimRequestCodes.h"
#include "config/QimStringIds.h"
#include "config/QimStrings.h"
#include "config/SUserInetData.h"
#include "common/QimMessageBox.h"

void SLoginState::Deliver(const Waiting& waiting, bool confirmed) {
    if (!waiting.asker) return;
    Answer answer = waiting.answer;
    const int code = waiting.code;
    QMetaObject::invokeMethod(
        waiting.asker.data(), [answer, code, confirmed] { answer(code, confirmed); }, Qt::QueuedConnection);
}

void SLoginState::Ask(QObject* asker, int code, Answer answer) {
    Waiting waiting{asker, code, std::move(answer)};
    if (confirmed_) {
        Deliver(waiting, true);
        return;
    }
    if (!authenticator_) {
        Deliver(waiting, false);
        return;
    }
    // One run serves everybody who asks while it lasts.
    const bool running = !waiting_.empty();
    waiting_.push_back(std::move(waiting));
    if (!running) authenticator_();
}

void SLoginState::Report(int result) {
    confirmed_ = result == qimreq::LoginAccepted;
    if (result == qimreq::LoginRefused) {
        QimMessageBox(nullptr, LoadQimString(qimstr::WrongPassword).c_str(), platform::MessageIcon::Stop);
        inet_.password.clear();
    }
    std::vector<Waiting> waiting;
    waiting.swap(waiting_);
    for (const Waiting& w : waiting) Deliver(w, confirmed_);
}
