// The import on a thread of its own: the window keeps answering while a large or damaged
// source is read, and "Прервать" is heard at once, also in the middle of a check. The thread
// opens its own connection to the own database when it starts and closes it before it ends.
#pragma once

#include "dbtransfer/result_import.h"

#include <QThread>
#include <atomic>

namespace zev7 {

class ImportThread : public QThread {
    Q_OBJECT

public:
    explicit ImportThread(const QString& directory, QObject* parent = nullptr);
    ~ImportThread() override;

    // Asks the import to stop; it does so within a fraction of a second.
    void requestStop() { stop_ = true; }
    // What the import brought; read it after finished().
    const ImportResult& result() const { return result_; }

signals:
    void progressed(int gauge, const QString& stage);

protected:
    void run() override;

private:
    QString directory_;
    std::atomic<bool> stop_{false};
    ImportResult result_;
};

}  // namespace zev7
