#include "pages/CPreviewWnd.h"

#include <algorithm>
#include <functional>
#include <limits>
#include <utility>

// Qt
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QSlider>
#include <QTimer>
#include <QVBoxLayout>
#include <QWidget>

// Local
#include "engine/Blend.h"
#include "engine/Canvas.h"
#include "engine/PreviewBlend.h"
#include "pages/CPictureCache.h"
#include "pages/CSettingsPage.h"
#include "pages/LoadFailureText.h"

namespace {

constexpr const char* kTitle = "Náhled";
constexpr const char* kLoading = "Načítám obrázky…";
constexpr const char* kPlay = "Přehrát";
constexpr const char* kPause = "Pozastavit";

// The box the picture area takes the output's shape in when the window
// opens, in pixels of the screen, unless the screen is smaller.
constexpr int kInitialWidth = 400;
constexpr int kInitialHeight = 300;
// Between the window and the wizard beside it.
constexpr int kGap = 8;

// The picture, scaled to fit and centred with its aspect kept, or a text in
// its place.
class CPictureView : public QWidget {
public:
    explicit CPictureView(QWidget* pParent) : QWidget(pParent)
    {
        setMinimumSize(80, 60);
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    }

    QSize sizeHint() const override { return {kInitialWidth, kInitialHeight}; }

    void SetPicture(QImage image)
    {
        m_image = std::move(image);
        update();
    }
    void SetText(const QString& strText)
    {
        m_strText = strText;
        update();
    }
    const QImage& Picture() const { return m_image; }
    const QString& Text() const { return m_strText; }

    std::function<void()> m_onResize;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        if (!m_strText.isEmpty()) {
            painter.drawText(rect().adjusted(8, 8, -8, -8), Qt::AlignCenter | Qt::TextWordWrap, m_strText);
            return;
        }
        if (m_image.isNull())
            return;
        QSizeF size = m_image.deviceIndependentSize();
        size.scale(QSizeF(this->size()), Qt::KeepAspectRatio);
        const QRectF target((width() - size.width()) / 2, (height() - size.height()) / 2, size.width(),
                            size.height());
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(target, m_image);
    }
    void resizeEvent(QResizeEvent*) override
    {
        if (m_onResize)
            m_onResize();
    }

private:
    QImage m_image;
    QString m_strText;
};

} // namespace

std::optional<std::int32_t> PreviewValues::ParseNumber(const QString& strText)
{
    if (strText.isEmpty())
        return std::nullopt;
    std::int64_t n = 0;
    for (const QChar c : strText) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return std::nullopt;
        n = n * 10 + (c.unicode() - '0');
        if (n > std::numeric_limits<std::int32_t>::max())
            return std::nullopt;
    }
    return static_cast<std::int32_t>(n);
}

struct CPreviewWnd::Impl {
    QWidget* pOwner = nullptr;
    CPictureCache* pPictures = nullptr;
    QString strFirst;
    QString strSecond;
    PreviewValues values;

    QPointer<QWidget> pWindow;
    CPictureView* pView = nullptr;
    QSlider* pFrames = nullptr;
    QLabel* pSize = nullptr;
    QLabel* pFrame = nullptr;
    QPushButton* pPlay = nullptr;
    QTimer timer;
    QElapsedTimer clock;

    // The animation's play head, in milliseconds since its first frame, and
    // the frame it stopped on while paused.
    bool bPlaying = true;
    qint64 nStartMs = 0;
    std::int32_t nPausedFrame = 0;

    // The scaled pair, kept while neither the pictures nor its size change.
    PreviewBlend blend;
    bool bHaveBlend = false;
    qint64 nFirstKey = 0;
    qint64 nSecondKey = 0;
    std::int32_t nBlendWidth = 0;
    std::int32_t nBlendHeight = 0;
    PictureFit nBlendFit = PictureFit::Stretch;
    std::int32_t nShownFrame = -1;

    void Build();
    // Sizes the window for the output's shape and puts it beside the wizard
    // where there is room, else over it, inside the screen's free area.
    void Place();
    // The size the output will have, as the render computes it; none for an
    // automatic size while a picture is loading or cannot be loaded.
    std::optional<EngineResult<Canvas>> OutputCanvas(const EngineResult<PreviewPicture>* pFirst,
                                                     const EngineResult<PreviewPicture>* pSecond) const;
    void Refresh();
    bool EnsureBlend(const PreviewPicture& first, const PreviewPicture& second, const Canvas& canvas);
    void ShowFrame();
    void TogglePlay();
    // The frame slider moved by the user: play pauses on that frame.
    void Scrub(int nFrame);
};

void CPreviewWnd::Impl::Build()
{
    QWidget* pParent = pOwner;
    pWindow = new QWidget(pParent, Qt::Window);
    pWindow->setWindowTitle(QString::fromUtf8(kTitle));
    // The keyboard stays on the page, so the slider can be moved with the
    // arrows while the preview follows.
    pWindow->setAttribute(Qt::WA_ShowWithoutActivating);

    pView = new CPictureView(pWindow);
    pView->m_onResize = [this] { Refresh(); };
    pFrames = new QSlider(Qt::Horizontal, pWindow);
    QObject::connect(pFrames, &QSlider::valueChanged, pWindow, [this](int nFrame) { Scrub(nFrame); });
    pSize = new QLabel(pWindow);
    pFrame = new QLabel(pWindow);
    pPlay = new QPushButton(QString::fromUtf8(kPause), pWindow);
    pPlay->setFocusPolicy(Qt::TabFocus);
    QObject::connect(pPlay, &QPushButton::clicked, pWindow, [this] { TogglePlay(); });

    auto* pRow = new QHBoxLayout;
    pRow->addWidget(pSize, 1);
    pRow->addWidget(pFrame);
    pRow->addWidget(pPlay);
    auto* pLayout = new QVBoxLayout(pWindow);
    pLayout->addWidget(pView, 1);
    pLayout->addWidget(pFrames);
    pLayout->addLayout(pRow);

    timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer, &QTimer::timeout, pWindow, [this] { ShowFrame(); });
    clock.start();
}

void CPreviewWnd::Impl::Place()
{
    for (QWidget* pControl : {static_cast<QWidget*>(pFrames), static_cast<QWidget*>(pFrame), static_cast<QWidget*>(pPlay)})
        pControl->setVisible(values.m_bAnimation);
    const QWidget* pWizard = pOwner ? pOwner->window() : nullptr;
    const QRect available = (pWizard ? pWizard->screen() : QGuiApplication::primaryScreen())->availableGeometry();
    // The window system's border, as it lies around the wizard.
    QMargins border;
    if (pWizard) {
        const QRect inner = pWizard->geometry(), outer = pWizard->frameGeometry();
        border = {inner.left() - outer.left(), inner.top() - outer.top(), outer.right() - inner.right(),
                  outer.bottom() - inner.bottom()};
    }
    const QSize borders(border.left() + border.right(), border.top() + border.bottom());
    pWindow->layout()->activate();
    const QSize chrome = pWindow->sizeHint() - pView->sizeHint();

    QSize box = QSize(kInitialWidth, kInitialHeight).boundedTo(available.size() - chrome - borders);
    const auto* pFirst = pPictures ? pPictures->Find(strFirst) : nullptr;
    const auto* pSecond = pPictures ? pPictures->Find(strSecond) : nullptr;
    if (const auto canvas = OutputCanvas(pFirst, pSecond); canvas && *canvas && canvas->Value().Height() > 0)
        box = QSize(canvas->Value().Width(), canvas->Value().Height()).scaled(box, Qt::KeepAspectRatio);
    pWindow->resize(box.expandedTo(pView->minimumSize()) + chrome);
    const QSize size = pWindow->size() + borders;

    // Right of the wizard, else left of it, else as far right as the screen
    // lets it, over the wizard; never past the screen's free area.
    const QRect wizard = pWizard ? pWizard->frameGeometry() : QRect(available.topLeft(), QSize(0, 0));
    int nX = wizard.right() + 1 + kGap;
    if (nX + size.width() > available.right() + 1 && wizard.left() - kGap - size.width() >= available.left())
        nX = wizard.left() - kGap - size.width();
    nX = std::clamp(nX, available.left(), std::max(available.left(), available.right() + 1 - size.width()));
    const int nY =
        std::clamp(wizard.top(), available.top(), std::max(available.top(), available.bottom() + 1 - size.height()));
    pWindow->move(nX, nY);
}

std::optional<EngineResult<Canvas>> CPreviewWnd::Impl::OutputCanvas(const EngineResult<PreviewPicture>* pFirst,
                                                                   const EngineResult<PreviewPicture>* pSecond) const
{
    if (values.m_bCustomSize) {
        if (values.m_nWidth && values.m_nHeight)
            return ComputeCanvas(kSizeModeCustom, *values.m_nWidth, *values.m_nHeight, 0, 0, 0, 0);
        return EngineResult<Canvas>(EngineError{EngineErrorCode::InvalidCanvas, "no size given"});
    }
    return CPictureCache::AutomaticCanvas(pFirst, pSecond);
}

void CPreviewWnd::Impl::Scrub(int nFrame)
{
    nPausedFrame = nFrame;
    if (bPlaying) {
        bPlaying = false;
        pPlay->setText(QString::fromUtf8(kPlay));
    }
    ShowFrame();
}

void CPreviewWnd::Impl::TogglePlay()
{
    // A pause keeps the frame on screen; playing on starts from its time.
    if (bPlaying)
        nPausedFrame = std::max(nShownFrame, 0);
    else if (values.m_nFps && *values.m_nFps > 0)
        nStartMs = clock.elapsed() - (std::int64_t{nPausedFrame} * 1000 + *values.m_nFps - 1) / *values.m_nFps;
    bPlaying = !bPlaying;
    pPlay->setText(QString::fromUtf8(bPlaying ? kPause : kPlay));
    Refresh();
}

void CPreviewWnd::Impl::Refresh()
{
    if (!pWindow || pWindow->isHidden())
        return;
    const auto* pFirst = pPictures ? pPictures->Find(strFirst) : nullptr;
    const auto* pSecond = pPictures ? pPictures->Find(strSecond) : nullptr;
    const bool bLoading = !pFirst || !pSecond;

    // A picture that cannot be loaded is told as the render's message tells it.
    QString strState;
    for (const auto& [pPicture, pstrPath] : {std::pair{pFirst, &strFirst}, std::pair{pSecond, &strSecond}})
        if (pPicture && !*pPicture && strState.isEmpty())
            strState = QString::fromUtf8(kPictureNotLoaded) + '\n' +
                       QString::fromStdString(LoadFailureLine(pstrPath->toStdString(), pPicture->Error().m_nCode));
    const bool bFailed = !strState.isEmpty();
    if (!bFailed && bLoading)
        strState = QString::fromUtf8(kLoading);

    const std::optional<EngineResult<Canvas>> canvas = OutputCanvas(pFirst, pSecond);
    const bool bSizeOk = canvas && *canvas && canvas->Value().Width() > 0 && canvas->Value().Height() > 0;
    if (bSizeOk)
        pSize->setText(QStringLiteral("%1 × %2 pixelů").arg(canvas->Value().Width()).arg(canvas->Value().Height()));
    else
        pSize->setText(canvas ? QString::fromUtf8(kSizeRefused) : QString());

    pView->SetText(strState);

    if (!strState.isEmpty() || !bSizeOk || !EnsureBlend(pFirst->Value(), pSecond->Value(), canvas->Value())) {
        timer.stop();
        pFrame->clear();
        pView->SetPicture(QImage());
        return;
    }
    nShownFrame = -1;
    ShowFrame();
}

bool CPreviewWnd::Impl::EnsureBlend(const PreviewPicture& first, const PreviewPicture& second, const Canvas& canvas)
{
    // The largest picture of the output's shape that fits the view, in the
    // screen's own pixels.
    const qreal dRatio = pView->devicePixelRatioF();
    const double dScale = std::min(pView->width() * dRatio / canvas.Width(), pView->height() * dRatio / canvas.Height());
    const auto nWidth = static_cast<std::int32_t>(canvas.Width() * dScale);
    const auto nHeight = static_cast<std::int32_t>(canvas.Height() * dScale);
    const qint64 nFirstKey = first.m_bitmap.Image().cacheKey();
    const qint64 nSecondKey = second.m_bitmap.Image().cacheKey();
    if (bHaveBlend && nFirstKey == this->nFirstKey && nSecondKey == this->nSecondKey && nWidth == nBlendWidth &&
        nHeight == nBlendHeight && values.m_nFit == nBlendFit)
        return true;

    auto made = PreviewBlend::Make(first.m_bitmap, second.m_bitmap, nWidth, nHeight, {values.m_nFit});
    bHaveBlend = static_cast<bool>(made);
    if (!made)
        return false;
    blend = std::move(made.Value());
    this->nFirstKey = nFirstKey;
    this->nSecondKey = nSecondKey;
    nBlendWidth = nWidth;
    nBlendHeight = nHeight;
    nBlendFit = values.m_nFit;
    return true;
}

void CPreviewWnd::Impl::ShowFrame()
{
    // The window's close box hides it without a word to us.
    if (!bHaveBlend || pWindow->isHidden()) {
        timer.stop();
        return;
    }
    double w = StillWeight(std::clamp(values.m_nRatio, 0, 100));
    if (values.m_bAnimation) {
        const std::int32_t nCount = values.m_nFrameCount && *values.m_nFrameCount > 0 ? *values.m_nFrameCount : 1;
        const std::int32_t nFps = values.m_nFps && *values.m_nFps > 0 ? *values.m_nFps : 0;
        std::int32_t nFrame = 0;
        if (!bPlaying)
            nFrame = nPausedFrame % nCount;
        else if (nFps > 0)
            nFrame = static_cast<std::int32_t>((clock.elapsed() - nStartMs) * nFps / 1000 % nCount);
        if (bPlaying && nFps > 0)
            timer.start(std::clamp(1000 / nFps / 2, 10, 100));
        else
            timer.stop();
        if (nFrame == nShownFrame)
            return;
        nShownFrame = nFrame;
        w = FrameWeight(FrameStep(nCount), nFrame);
        const QSignalBlocker blocker(pFrames);
        pFrames->setRange(0, nCount - 1);
        pFrames->setValue(nFrame);
        // As wide as the widest number needs, so the row does not shift while it plays.
        const QString strFrame = QStringLiteral("Snímek %1/%2");
        pFrame->setMinimumWidth(pFrame->fontMetrics().horizontalAdvance(strFrame.arg(nCount).arg(nCount)));
        pFrame->setText(strFrame.arg(nFrame + 1).arg(nCount));
    } else {
        timer.stop();
    }

    // Rows come bottom-up from the engine; the screen wants them top-down.
    const PixelBuffer& output = blend.Blend(w);
    const Canvas& canvas = blend.GetCanvas();
    QImage image = QImage(output.Data(), canvas.Width(), canvas.Height(), canvas.Stride(), QImage::Format_BGR888)
                       .mirrored(false, true);
    image.setDevicePixelRatio(pView->devicePixelRatioF());
    pView->SetPicture(std::move(image));
}

CPreviewWnd::CPreviewWnd() : m_pImpl(std::make_unique<Impl>()) {}

CPreviewWnd::~CPreviewWnd()
{
    m_pImpl->timer.stop();
    delete m_pImpl->pWindow.data();
}

void CPreviewWnd::Init(QWidget* pOwner, CPictureCache* pPictures)
{
    m_pImpl->pOwner = pOwner;
    m_pImpl->pPictures = pPictures;
    if (pPictures)
        pPictures->AddListener([this] { m_pImpl->Refresh(); });
}

void CPreviewWnd::SetSources(const QString& strFirst, const QString& strSecond)
{
    m_pImpl->strFirst = strFirst;
    m_pImpl->strSecond = strSecond;
    m_pImpl->Refresh();
}

void CPreviewWnd::Follow(const CSettingsPage& page)
{
    QObject::connect(&page, &CSettingsPage::previewRequested, &page, [this](const PreviewValues& values) { Open(values); });
    QObject::connect(&page, &CSettingsPage::previewValuesChanged, &page,
                     [this](const PreviewValues& values) { Update(values); });
}

void CPreviewWnd::Open(const PreviewValues& values)
{
    if (!m_pImpl->pWindow)
        m_pImpl->Build();
    m_pImpl->values = values;
    if (IsOpen()) {
        m_pImpl->pWindow->raise();
    } else {
        m_pImpl->Place();
        m_pImpl->pWindow->show();
    }
    m_pImpl->Refresh();
}

void CPreviewWnd::Update(const PreviewValues& values)
{
    m_pImpl->values = values;
    if (IsOpen())
        m_pImpl->Refresh();
}

void CPreviewWnd::Close()
{
    m_pImpl->timer.stop();
    if (m_pImpl->pWindow)
        m_pImpl->pWindow->hide();
}

bool CPreviewWnd::IsOpen() const { return m_pImpl->pWindow && m_pImpl->pWindow->isVisible(); }

QString CPreviewWnd::GetSizeText() const { return m_pImpl->pSize ? m_pImpl->pSize->text() : QString(); }

QString CPreviewWnd::GetStateText() const { return m_pImpl->pView ? m_pImpl->pView->Text() : QString(); }

QImage CPreviewWnd::GetPicture() const { return m_pImpl->pView ? m_pImpl->pView->Picture() : QImage(); }

QWidget* CPreviewWnd::GetWidget() const { return m_pImpl->pWindow; }
