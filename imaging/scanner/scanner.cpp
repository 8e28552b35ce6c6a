#include "imaging/scanner/scanner.h"

#include <QApplication>
#include <QEventLoop>
#include <QProgressDialog>
#include <QTimer>

#include <sane/sane.h>
#include <sane/saneopts.h>

#include <cstring>
#include <system_error>
#include <thread>
#include <vector>

#include "imaging/errors.h"
#include "imaging/scanner/scannersourcedlg.h"
#include "imaging/scanner/scanreader.h"

namespace imaging {

namespace {

// SANE keeps one session per process.
const Scanner* g_owner = nullptr;
int g_nextConnectionId = 1;

constexpr int kProgressDelayMs = 500;
constexpr int kProgressIntervalMs = 100;

QString fromSane(const char* text) {
    return text ? QString::fromUtf8(text) : QString();
}

QString statusText(SANE_Status status) {
    return fromSane(sane_strstatus(status));
}

// The index of the option called `name`, or 0 (the count option) if none.
SANE_Int findOption(SANE_Handle device, const QByteArray& name) {
    SANE_Int count = 0;
    if (sane_control_option(device, 0, SANE_ACTION_GET_VALUE, &count, nullptr) !=
        SANE_STATUS_GOOD) {
        return 0;
    }
    for (SANE_Int i = 1; i < count; ++i) {
        const SANE_Option_Descriptor* option = sane_get_option_descriptor(device, i);
        if (option && option->name && name == option->name) {
            return i;
        }
    }
    return 0;
}

// The scan resolution in dots per inch, or 0 when the device does not say.
double resolutionOf(SANE_Handle device) {
    const SANE_Int index = findOption(device, SANE_NAME_SCAN_RESOLUTION);
    const SANE_Option_Descriptor* option =
        index ? sane_get_option_descriptor(device, index) : nullptr;
    if (!option || !SANE_OPTION_IS_ACTIVE(option->cap) || option->size != sizeof(SANE_Word) ||
        (option->type != SANE_TYPE_INT && option->type != SANE_TYPE_FIXED)) {
        return 0;
    }
    SANE_Word value = 0;
    if (sane_control_option(device, index, SANE_ACTION_GET_VALUE, &value, nullptr) !=
        SANE_STATUS_GOOD) {
        return 0;
    }
    return option->type == SANE_TYPE_FIXED ? SANE_UNFIX(value) : double(value);
}

}  // namespace

Scanner::~Scanner() {
    close();
}

int Scanner::openConnection() {
    if (!m_initialized) {
        if (g_owner) {
            m_connectionError = QStringLiteral("The scanner connection is already in use.");
            return 0;
        }
        SANE_Int version = 0;
        const SANE_Status status = sane_init(&version, nullptr);
        if (status != SANE_STATUS_GOOD) {
            m_connectionError =
                QStringLiteral("The scanner interface did not start: %1.").arg(statusText(status));
            return 0;
        }
        m_initialized = true;
        g_owner = this;
        m_connectionId = g_nextConnectionId++;
    }
    readDevices();
    return handle();
}

void Scanner::openConnectionInBackground(std::function<void(int handle)> done) {
    finishOpening();
    std::weak_ptr<bool> alive = m_alive;
    m_opening = std::thread([this, alive, done = std::move(done)] {
        const int handle = openConnection();
        QMetaObject::invokeMethod(
            qApp,
            [this, alive, handle, done] {
                if (alive.expired()) {
                    return;  // the scanner went away meanwhile
                }
                finishOpening();
                if (done) {
                    done(handle);
                }
            },
            Qt::QueuedConnection);
    });
}

void Scanner::finishOpening() {
    if (m_opening.joinable()) {
        m_opening.join();
    }
}

int Scanner::handle() const {
    return m_initialized && !m_devices.isEmpty() ? m_connectionId : 0;
}

void Scanner::readDevices() {
    m_devices.clear();
    const SANE_Device** list = nullptr;
    const SANE_Status status = sane_get_devices(&list, SANE_FALSE);
    if (status != SANE_STATUS_GOOD) {
        m_connectionError =
            QStringLiteral("The scanners could not be listed: %1.").arg(statusText(status));
        return;
    }
    for (int i = 0; list && list[i]; ++i) {
        const QString name = fromSane(list[i]->name);
        if (name.isEmpty()) {
            continue;
        }
        const QString product =
            QStringLiteral("%1 %2").arg(fromSane(list[i]->vendor), fromSane(list[i]->model));
        m_devices.append({name, QStringLiteral("%1 (%2)").arg(
                                    product.trimmed().isEmpty() ? name : product.trimmed(), name)});
    }
    if (m_devices.isEmpty()) {
        m_connectionError = QStringLiteral("No scanner was found.");
    } else {
        m_connectionError.clear();
    }
}

QStringList Scanner::devices() const {
    QStringList names;
    for (const Device& device : m_devices) {
        names.append(device.displayName);
    }
    return names;
}

QStringList Scanner::deviceNames() const {
    QStringList names;
    for (const Device& device : m_devices) {
        names.append(device.name);
    }
    return names;
}

int Scanner::selectSource(QWidget* parent) {
    finishOpening();
    // The list is read anew, so a scanner plugged in since start-up shows.
    if (!openConnection()) {
        return fail(kErrorFileOpen, m_connectionError);
    }
    const int current = std::max(0, int(deviceNames().indexOf(m_source)));
    ScannerSourceDlg dialog(devices(), current, parent);
    if (dialog.exec() != QDialog::Accepted) {
        return kErrorUserAbort;
    }
    const int chosen = dialog.selectedIndex();
    if (chosen < 0 || chosen >= m_devices.size()) {
        return kErrorUserAbort;
    }
    m_source = m_devices[chosen].name;
    return kSuccess;
}

void Scanner::setOption(const QString& name, const QString& value) {
    for (auto& option : m_options) {
        if (option.first == name) {
            option.second = value;
            return;
        }
    }
    m_options.append({name, value});
}

int Scanner::acquire(QImage* image, int* bitsPerPixel) {
    finishOpening();
    m_lastError.clear();
    if (!image) {
        return fail(kErrorInvalidParameter, QStringLiteral("No image to scan into."));
    }
    if (m_device) {
        return fail(kErrorInvalidParameter, QStringLiteral("A scan is already running."));
    }
    if (!m_initialized) {
        return fail(kErrorFileOpen, QStringLiteral("The scanner connection is not open."));
    }
    QString name = m_source;
    if (name.isEmpty()) {
        if (m_devices.isEmpty()) {
            return fail(kErrorFileOpen, QStringLiteral("No scanner was found."));
        }
        name = m_devices.first().name;
    }

    SANE_Handle device = nullptr;
    const SANE_Status status = sane_open(name.toUtf8().constData(), &device);
    if (status != SANE_STATUS_GOOD || !device) {
        return fail(kErrorFileOpen, QStringLiteral("The scanner %1 could not be opened: %2.")
                                        .arg(name, statusText(status)));
    }
    m_device = device;
    int result = applyOptions(device);
    if (result == kSuccess) {
        result = scan(device, image, bitsPerPixel);
    }
    if (result == kSuccess) {
        const double dpi = resolutionOf(device);
        if (dpi > 0) {
            image->setDotsPerMeterX(qRound(dpi / 0.0254));
            image->setDotsPerMeterY(qRound(dpi / 0.0254));
        }
    }
    // A finished scan also ends with sane_cancel, before the device may close.
    sane_cancel(device);
    sane_close(device);
    m_device = nullptr;
    if (m_closeAfterScan) {
        m_closeAfterScan = false;
        close();
    }
    return result;
}

int Scanner::applyOptions(void* device) {
    for (const auto& [name, value] : m_options) {
        const SANE_Int index = findOption(device, name.toUtf8());
        const SANE_Option_Descriptor* option =
            index ? sane_get_option_descriptor(device, index) : nullptr;
        if (!option) {
            return fail(kErrorInvalidParameter,
                        QStringLiteral("The scanner has no option \"%1\".").arg(name));
        }
        if (!SANE_OPTION_IS_ACTIVE(option->cap) || !SANE_OPTION_IS_SETTABLE(option->cap)) {
            return fail(kErrorInvalidParameter,
                        QStringLiteral("The scanner option \"%1\" cannot be set now.").arg(name));
        }
        const QString refused =
            QStringLiteral("The scanner option \"%1\" cannot be \"%2\".").arg(name, value);
        SANE_Word word = 0;
        std::vector<char> text;
        void* data = &word;
        bool ok = true;
        switch (option->type) {
            case SANE_TYPE_BOOL: {
                const QString lower = value.trimmed().toLower();
                ok = QStringList{"true", "yes", "on", "1", "false", "no", "off", "0"}.contains(
                    lower);
                word =
                    QStringList{"true", "yes", "on", "1"}.contains(lower) ? SANE_TRUE : SANE_FALSE;
                break;
            }
            case SANE_TYPE_INT:
                word = value.trimmed().toInt(&ok);
                ok = ok && option->size == sizeof(SANE_Word);
                break;
            case SANE_TYPE_FIXED: {
                const double number = value.trimmed().toDouble(&ok);
                ok = ok && option->size == sizeof(SANE_Word) && number > -32768.0 &&
                     number < 32768.0;
                word = SANE_FIX(number);
                break;
            }
            case SANE_TYPE_STRING: {
                const QByteArray utf8 = value.toUtf8();
                ok = option->size > utf8.size() && option->size <= 64 * 1024;
                if (ok) {
                    text.assign(size_t(option->size), '\0');
                    std::memcpy(text.data(), utf8.constData(), size_t(utf8.size()));
                    data = text.data();
                }
                break;
            }
            case SANE_TYPE_BUTTON:
                data = nullptr;
                break;
            default:
                ok = false;
                break;
        }
        if (!ok) {
            return fail(kErrorInvalidParameter, refused);
        }
        SANE_Int info = 0;
        const SANE_Status status =
            sane_control_option(device, index, SANE_ACTION_SET_VALUE, data, &info);
        if (status != SANE_STATUS_GOOD) {
            return fail(kErrorInvalidParameter,
                        QStringLiteral("%1 (%2)").arg(refused, statusText(status)));
        }
    }
    return kSuccess;
}

int Scanner::scan(void* device, QImage* image, int* bitsPerPixel) {
    ScanReader reader(device);
    QWidget* parent = m_parent ? m_parent.data() : QApplication::activeWindow();
    // On the heap and watched: a parent window that goes away takes it along.
    QPointer<QProgressDialog> progress = new QProgressDialog(
        QStringLiteral("Scanning..."), QStringLiteral("Cancel"), 0, 1000, parent);
    progress->setObjectName(QStringLiteral("ScanProgressDlg"));
    progress->setWindowTitle(QStringLiteral("Acquire"));
    progress->setWindowModality(Qt::ApplicationModal);
    progress->setMinimumDuration(kProgressDelayMs);
    progress->setAutoClose(false);
    progress->setAutoReset(false);
    QObject::connect(progress, &QProgressDialog::canceled, [&reader] { reader.cancel(); });

    QEventLoop loop;
    bool finished = false;
    QTimer timer;
    timer.setInterval(kProgressIntervalMs);
    QObject::connect(&timer, &QTimer::timeout, &loop, [&] {
        if (!progress || progress->wasCanceled()) {
            return;
        }
        const int permille = reader.progress();
        if (permille < 0) {
            progress->setRange(0, 0);  // a moving bar: the amount is unknown
            progress->setValue(0);
        } else {
            progress->setValue(permille);
        }
    });

    int result = kSuccess;
    m_reader = &reader;
    try {
        std::thread worker([&] {
            result = reader.run();
            QMetaObject::invokeMethod(
                &loop,
                [&] {
                    finished = true;
                    loop.quit();
                },
                Qt::QueuedConnection);
        });
        progress->setValue(0);
        timer.start();
        // exec() also returns when the application is asked to quit; the
        // scan still has to end before its buffers go.
        while (!finished) {
            loop.exec();
        }
        timer.stop();
        worker.join();
    } catch (const std::system_error&) {
        result = kErrorNoMemory;
    }
    m_reader = nullptr;
    delete progress.data();

    if (result != kSuccess) {
        return fail(result, result == kErrorNoMemory && reader.errorText().isEmpty()
                                ? QStringLiteral("The scan could not be started.")
                                : reader.errorText());
    }
    *image = reader.image();
    if (bitsPerPixel) {
        *bitsPerPixel = reader.bitsPerPixel();
    }
    return kSuccess;
}

void Scanner::close() {
    finishOpening();
    if (m_device) {
        // Called from the event loop that runs during a scan: stop the scan,
        // and acquire() closes once the device is closed.
        m_closeAfterScan = true;
        if (m_reader) {
            m_reader->cancel();
        }
        return;
    }
    if (m_initialized) {
        sane_exit();
        m_initialized = false;
        g_owner = nullptr;
    }
    m_devices.clear();
}

int Scanner::fail(int code, const QString& text) {
    m_lastError = text;
    return code;
}

}  // namespace imaging
