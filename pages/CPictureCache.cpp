#include "pages/CPictureCache.h"

#include <utility>

// Qt
#include <QFile>
#include <QFileInfo>
#include <QFutureWatcher>
#include <QtConcurrent/QtConcurrentRun>

namespace {

// Two pictures on the pages and a few recent ones to go back to.
constexpr std::size_t kKeep = 6;

using LoadResult = std::shared_ptr<EngineResult<PreviewPicture>>;

// What identifies the file behind a path: a new file, or one written again,
// is loaded again.
struct FileStamp {
    qint64 nSize = -1;
    qint64 nModified = 0;
    bool operator==(const FileStamp&) const = default;
};

FileStamp StampOf(const QString& strPath)
{
    const QFileInfo info(strPath);
    if (!info.exists())
        return {};
    return {info.size(), info.lastModified().toMSecsSinceEpoch()};
}

} // namespace

struct CPictureCache::Entry {
    QString strPath;
    FileStamp stamp;
    LoadResult result;   // null while loading
    std::unique_ptr<QFutureWatcher<LoadResult>> pWatcher;
};

CPictureCache::CPictureCache() = default;

// A load still running when the cache goes finishes on its own; its watcher
// is gone with the entry, so nobody hears of it.
CPictureCache::~CPictureCache() = default;

void CPictureCache::AddListener(std::function<void()> fn) { m_listeners.push_back(std::move(fn)); }

const EngineResult<PreviewPicture>* CPictureCache::Find(const QString& strPath)
{
    if (strPath.isEmpty())
        return nullptr;
    const FileStamp stamp = StampOf(strPath);
    for (auto it = m_entries.begin(); it != m_entries.end(); ++it) {
        Entry& entry = **it;
        if (entry.strPath != strPath)
            continue;
        if (entry.stamp == stamp || entry.pWatcher) {
            m_entries.splice(m_entries.begin(), m_entries, it);
            return entry.result.get();
        }
        m_entries.erase(it);
        break;
    }

    auto pEntry = std::make_unique<Entry>();
    pEntry->strPath = strPath;
    pEntry->stamp = stamp;
    pEntry->pWatcher = std::make_unique<QFutureWatcher<LoadResult>>();
    Entry* pRaw = pEntry.get();
    QObject::connect(pEntry->pWatcher.get(), &QFutureWatcherBase::finished, pEntry->pWatcher.get(),
                     [this, pRaw] { Finished(pRaw); });
    pEntry->pWatcher->setFuture(QtConcurrent::run([strFile = QFile::encodeName(strPath).toStdString()] {
        return std::make_shared<EngineResult<PreviewPicture>>(LoadPreviewPicture(strFile, kMaxSide));
    }));
    m_entries.push_front(std::move(pEntry));

    // Forget the oldest finished pictures beyond the few worth keeping.
    while (m_entries.size() > kKeep && !m_entries.back()->pWatcher)
        m_entries.pop_back();
    return nullptr;
}

void CPictureCache::Finished(Entry* pEntry)
{
    pEntry->result = pEntry->pWatcher->result();
    // The watcher is inside its own signal: let it go once that returns.
    pEntry->pWatcher.release()->deleteLater();
    for (const auto& fn : m_listeners)
        fn();
}

std::optional<EngineResult<Canvas>> CPictureCache::AutomaticCanvas(const EngineResult<PreviewPicture>* pFirst,
                                                                   const EngineResult<PreviewPicture>* pSecond)
{
    if (!pFirst || !*pFirst || !pSecond || !*pSecond)
        return std::nullopt;
    const PreviewPicture& first = pFirst->Value();
    const PreviewPicture& second = pSecond->Value();
    return ComputeCanvas(kSizeModeAutomatic, 0, 0, first.m_nWidth, first.m_nHeight, second.m_nWidth, second.m_nHeight);
}
