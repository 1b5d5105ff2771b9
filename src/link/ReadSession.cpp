#include "ReadSession.h"

// Placeholder until the serial read is built: every read fails at once.
struct ReadSession::Private {};

ReadSession::ReadSession(QObject *parent) : QObject(parent), d(new Private) {}
ReadSession::~ReadSession() {
    delete d;
}
void ReadSession::Start(const QString &port, bool) {
    emit OpenFailed(port);
    emit Finished(false);
}
void ReadSession::Cancel() {}
bool ReadSession::IsRunning() const {
    return false;
}
void ReadSession::SetSettleWait(bool) {}
void ReadSession::SetClock(std::function<std::int64_t()>) {}
void ReadSession::ApplyTo(TTraceRecord &) const {}
