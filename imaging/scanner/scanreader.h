#pragma once

#include <QImage>
#include <QString>

#include <sane/sane.h>

#include <atomic>
#include <cstdint>
#include <vector>

#include "imaging/errors.h"

namespace imaging {

/// Reads the frames of one scan from an open SANE device and assembles the
/// picture, checking every count the backend reports before trusting it.
/// run() belongs to one worker thread; cancel() and progress() may be called
/// from any thread meanwhile, the results are read after run() returned.
class ScanReader {
public:
    explicit ScanReader(SANE_Handle device, qint64 maxPixels = kMaxPixels);

    /// Starts the scan and reads until the picture is complete: 1, or a
    /// negative code (kErrorUserAbort once cancel() was called). The caller
    /// still owns the device and calls sane_cancel() afterwards.
    int run();
    /// Asks the device to stop; run() then returns soon.
    void cancel();
    bool wasCancelled() const { return m_cancelled.load(); }

    /// Thousandths of the announced data read so far, or -1 while the amount
    /// is unknown (hand scanners).
    int progress() const;

    const QImage& image() const { return m_image; }
    int bitsPerPixel() const { return m_bitsPerPixel; }
    /// What went wrong, for the message after a failed run().
    const QString& errorText() const { return m_errorText; }

    /// 1 when a frame of these parameters can be read into at most
    /// `maxPixels` pixels, else kErrorNoMemory or kErrorInvalidFormat.
    static int checkParameters(const SANE_Parameters& params, qint64 maxPixels = kMaxPixels);

private:
    enum class Output { Mono, Gray, Rgb };

    int readFrame(const SANE_Parameters& params, int channelOffset);
    void convertLine(const SANE_Parameters& params, int channelOffset, const uchar* in,
                     uchar* out) const;
    uchar* outputRow(int row);
    int fail(int code, const QString& text);
    int failStatus(SANE_Status status, const char* during);
    int finish();

    SANE_Handle m_device;
    qint64 m_maxPixels;

    std::atomic<bool> m_cancelled{false};
    std::atomic<qint64> m_bytesRead{0};
    std::atomic<qint64> m_bytesExpected{0};  // 0 while unknown

    Output m_output = Output::Gray;
    int m_width = 0;
    int m_rowBytes = 0;
    int m_rows = 0;                // rows the first frame delivered
    int m_rowLimit = 0;            // rows there is room for
    QImage m_buffer;               // the output when the height is announced
    std::vector<uchar> m_growing;  // the output rows when it is not

    QImage m_image;
    int m_bitsPerPixel = 0;
    QString m_errorText;
};

}  // namespace imaging
