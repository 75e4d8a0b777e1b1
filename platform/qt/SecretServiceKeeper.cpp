#include "platform/qt/SecretServiceKeeper.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <qt6keychain/keychain.h>

#include "platform/qt/QtText.h"

namespace platform {

namespace {

// Runs `job` (made with new) to its end or to the time limit and frees it; a
// job still running then frees itself when it ends. Unavailable when it did
// not end in time or the keyring could not be reached.
template <class Job, class Done>
PasswordKeeper::Result Run(Job* job, int timeoutMs, Done done) {
    job->setAutoDelete(false);
    QEventLoop loop;
    bool finished = false;
    QObject::connect(job, &QKeychain::Job::finished, &loop, [&] {
        finished = true;
        loop.quit();
    });
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    job->start();
    if (!finished) loop.exec();
    if (!finished) {
        job->setAutoDelete(true);
        return PasswordKeeper::Result::Unavailable;
    }
    PasswordKeeper::Result result = PasswordKeeper::Result::Unavailable;
    if (job->error() == QKeychain::NoError) result = done(*job) ? PasswordKeeper::Result::Done : result;
    else if (job->error() == QKeychain::EntryNotFound) result = PasswordKeeper::Result::NotFound;
    job->deleteLater();
    return result;
}

// The jobs need an event loop: a program without an application object has no keyring.
bool CanAsk() { return QCoreApplication::instance() != nullptr; }

}  // namespace

PasswordKeeper::Result SecretServiceKeeper::Read(const std::string& account, std::string& password) {
    if (!CanAsk()) return Result::Unavailable;
    auto* job = new QKeychain::ReadPasswordJob(service_);
    job->setKey(ToQString(account));
    return Run(job, timeoutMs_, [&password](QKeychain::ReadPasswordJob& j) { return FromQString(j.textData(), password); });
}

PasswordKeeper::Result SecretServiceKeeper::Write(const std::string& account, const std::string& password) {
    if (!CanAsk()) return Result::Unavailable;
    auto* job = new QKeychain::WritePasswordJob(service_);
    job->setKey(ToQString(account));
    job->setTextData(ToQString(password));
    return Run(job, timeoutMs_, [](QKeychain::WritePasswordJob&) { return true; });
}

PasswordKeeper::Result SecretServiceKeeper::Remove(const std::string& account) {
    if (!CanAsk()) return Result::Unavailable;
    auto* job = new QKeychain::DeletePasswordJob(service_);
    job->setKey(ToQString(account));
    return Run(job, timeoutMs_, [](QKeychain::DeletePasswordJob&) { return true; });
}

}  // namespace platform
