// One copy of the program per program directory: two copies would drive the same modems and
// write the same protocol files. The marker is a lock file beside the program; a copy that
// crashed or was killed leaves it behind, and the next start takes it over because the process
// named in it is gone.
#pragma once

#include <QLockFile>
#include <QString>
#include <memory>

namespace zev7 {

inline constexpr char kInstanceLockName[] = "ZEV7.lock";

class SingleInstance {
public:
    enum class Result { Acquired, AlreadyRunning, Failed };

    explicit SingleInstance(const QString& directory);
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // Takes the marker, or says why not; never waits.
    Result acquire();
    QString lockPath() const { return path_; }
    QString errorText() const { return error_; }

private:
    QString path_;
    QString error_;
    std::unique_ptr<QLockFile> lock_;
};

}  // namespace zev7
