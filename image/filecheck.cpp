#include "image/filecheck.h"

#include "crypt/encryptedimage.h"
#include "imaging/errors.h"
#include "imaging/formatcodes.h"
#include "imaging/imagefile.h"
#include "imaging/secondlibrary.h"

#include <array>

namespace image {

namespace {

// The second library's codes whose files the program opens.
constexpr std::array kAcceptedSecondFormats = {1,  3,  5,  15, 18, 20, 22, 23, 27, 28,
                                               30, 32, 34, 35, 38, 40, 43, 45, 46, 47};

}  // namespace

FileCheck checkFile(const QString& path) {
    FileCheck check;
    imaging::FileInfo info;
    if (imaging::fileInfo(path, &info) == imaging::kSuccess) {
        check.result = 1;
        check.secondLibrary = imaging::format::isLzwTiff(info.format);
        return check;
    }
    if (cipher::encryptedHeader(path) != cipher::EncryptedKind::None) {
        check.result = 1;
        check.encrypted = true;
        return check;
    }
    const int second = imaging::second::probe(path);
    if (std::find(kAcceptedSecondFormats.begin(), kAcceptedSecondFormats.end(), second) !=
        kAcceptedSecondFormats.end()) {
        check.result = 1;
        check.secondLibrary = true;
    }
    return check;
}

int fileCheck(const QString& path) {
    return checkFile(path).result;
}

}  // namespace image
