#pragma once

#include <QImage>
#include <QList>
#include <QPair>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <functional>
#include <memory>
#include <thread>

namespace imaging {

class ScanReader;

/// The program's way to its scanners, through SANE: the connection opened at
/// start-up, the device list, the source the user chose for this run, and
/// acquiring one picture while a progress dialog offers Cancel.
/// Interface thread only; SANE is process-wide, so one Scanner at a time
/// holds the connection, and it must not be destroyed while acquire() runs.
class Scanner {
public:
    Scanner() = default;
    ~Scanner();
    Scanner(const Scanner&) = delete;
    Scanner& operator=(const Scanner&) = delete;

    /// Starts SANE and lists the devices: a handle > 0 when that worked and
    /// at least one device exists (Acquire is then enabled), else 0 and
    /// connectionError() says why. Calling it again lists the devices anew.
    int openConnection();
    /// openConnection() on a worker thread, so the program does not wait
    /// while SANE probes its backends; `done` then runs on the interface
    /// thread with the handle. Other calls made meanwhile wait for it.
    void openConnectionInBackground(std::function<void(int handle)> done);
    /// What openConnection() returned last, 0 after close().
    int handle() const;
    const QString& connectionError() const { return m_connectionError; }

    /// "vendor model (sane-name)" for each device, in SANE's order.
    QStringList devices() const;
    /// The SANE names, in the same order.
    QStringList deviceNames() const;

    /// Shows the Select Source dialog; the choice is kept for the run.
    /// 1, kErrorUserAbort, or kErrorFileOpen when there is no device.
    int selectSource(QWidget* parent);
    /// Chooses a device by its SANE name; empty means the first device.
    void setSource(const QString& saneName) { m_source = saneName; }
    const QString& source() const { return m_source; }

    /// A SANE option set on the device before each scan, by its SANE name
    /// ("mode", "depth", "resolution", "tl-x", ...). Booleans take
    /// "true"/"false"; lengths are in the device's units. Setting an option
    /// again replaces its value; they are applied in the order first set.
    void setOption(const QString& name, const QString& value);
    void clearOptions() { m_options.clear(); }

    /// The window the progress dialog belongs to; the active window if none.
    void setParentWindow(QWidget* parent) { m_parent = parent; }

    /// Scans one picture from the chosen (or first) device: 1, or a
    /// negative code of imaging/errors.h (kErrorUserAbort when the user
    /// cancelled). Returns only when the device is closed again; the event
    /// loop runs meanwhile. Line art comes as Format_Mono (1 bit), grey as
    /// Format_Indexed8 with a grey palette (8), colour as Format_RGB888 (24).
    int acquire(QImage* image, int* bitsPerPixel);
    /// Why the last selectSource() or acquire() failed.
    const QString& lastError() const { return m_lastError; }
    bool isDeviceOpen() const { return m_device != nullptr; }

    /// Ends the SANE session; during a scan, it ends once the scan stopped.
    void close();

private:
    /// Waits for a background opening to end.
    void finishOpening();

    struct Device {
        QString name;
        QString displayName;
    };

    void readDevices();
    int applyOptions(void* device);
    int scan(void* device, QImage* image, int* bitsPerPixel);
    int fail(int code, const QString& text);

    bool m_initialized = false;
    std::thread m_opening;
    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
    int m_connectionId = 0;
    QString m_connectionError;
    QList<Device> m_devices;
    QString m_source;
    QList<QPair<QString, QString>> m_options;
    QPointer<QWidget> m_parent;
    QString m_lastError;
    void* m_device = nullptr;  // the SANE handle while acquire() runs
    ScanReader* m_reader = nullptr;
    bool m_closeAfterScan = false;
};

}  // namespace imaging
