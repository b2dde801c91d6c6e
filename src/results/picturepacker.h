// Items kept before the program drew them again kept two full-colour pictures each. They are
// made smaller in the background: each picture is stored again as an indexed-colour PNG at the
// same size, in small batches that are each their own transaction and mark their items done,
// so a run that is stopped or killed resumes where it was, and the store stays usable meanwhile.
#pragma once
#include <QByteArray>
#include <QString>
#include <atomic>
#include <memory>

class QThread;

namespace kav {

// A picture's PNG with at most 256 colours: the program's flat colours keep their exact
// values, the few shades at the edges of texts take the nearest colour kept. The bytes given
// when they are already as small, or can't be read.
QByteArray IndexedPng(const QByteArray& png);

// Packs the pictures of the first batchItems items of the file, those not yet done, in one
// transaction, on its own connection to the file; the items looked at, 0 when there are none,
// -1 on a failure.
int PackPictureBatch(const QString& path, int batchItems);
// Batches until none is left, a failure, or stop.
void PackAllPictures(const QString& path, int batchItems, const std::atomic<bool>* stop);

// Runs PackAllPictures on a thread of its own; stops (after the batch in hand) and waits for
// it when destroyed.
class PicturePacker {
public:
    explicit PicturePacker(const QString& path);
    ~PicturePacker();
    PicturePacker(const PicturePacker&) = delete;
    PicturePacker& operator=(const PicturePacker&) = delete;
    bool finished() const;
    void wait();

private:
    std::atomic<bool> stop_{false};
    std::unique_ptr<QThread> thread_;
};

}  // namespace kav
