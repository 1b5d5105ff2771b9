#include "DriveSim.h"

DriveSim::DriveSim(const QStringList &arguments) {
    Start(arguments);
}

DriveSim::~DriveSim() {
    Stop();
}

bool DriveSim::Start(const QStringList &arguments) {
    Stop();
    process_.setProgram(QStringLiteral(VANDREL_BIN_DIR "/vandrel-drive-sim"));
    process_.setArguments(arguments);
    process_.setProcessChannelMode(QProcess::SeparateChannels);
    process_.start();
    if (!process_.waitForStarted(5000))
        return false;
    while (!process_.canReadLine())
        if (!process_.waitForReadyRead(5000))
            return false;
    path = QString::fromLocal8Bit(process_.readLine()).trimmed();
    return !path.isEmpty();
}

void DriveSim::Stop() {
    path.clear();
    if (process_.state() == QProcess::NotRunning)
        return;
    process_.kill();
    process_.waitForFinished(5000);
}

QString DriveSim::ErrorOutput() {
    return QString::fromLocal8Bit(process_.readAllStandardError());
}
