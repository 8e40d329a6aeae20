#pragma once

// The source pictures that the thumbnails and the preview show, loaded on a
// worker thread so that no page waits for a decoder, and kept while their
// files stay as they were. The renders never use these: they load afresh.

#include <cstdint>
#include <functional>
#include <list>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// Qt
#include <QString>

// Local
#include "engine/Canvas.h"
#include "engine/EngineResult.h"
#include "engine/PreviewPicture.h"

class CPictureCache {
public:
    // The longer side of a kept picture: enough for a preview on a large screen.
    static constexpr std::int32_t kMaxSide = 1024;

    CPictureCache();
    ~CPictureCache();
    CPictureCache(const CPictureCache&) = delete;
    CPictureCache& operator=(const CPictureCache&) = delete;

    // The picture at strPath (or why it cannot be loaded), or null while it
    // loads. The first question about a path starts its load, and so does
    // one asked after the file has changed.
    const EngineResult<PreviewPicture>* Find(const QString& strPath);

    // Runs fn on the user-interface thread whenever a load ends. Listeners
    // must live as long as the cache.
    void AddListener(std::function<void()> fn);

    // The canvas an automatic render gives two pictures Find returned, or
    // null while either loads or cannot be loaded.
    static std::optional<EngineResult<Canvas>> AutomaticCanvas(const EngineResult<PreviewPicture>* pFirst,
                                                               const EngineResult<PreviewPicture>* pSecond);

private:
    struct Entry;
    void Finished(Entry* pEntry);

    std::list<std::unique_ptr<Entry>> m_entries;   // the most recently asked first
    std::vector<std::function<void()>> m_listeners;
};
