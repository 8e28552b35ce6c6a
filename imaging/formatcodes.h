#pragma once

/// The imaging library's format codes: what file information reports and
/// what saves are asked for. Names for the codes are in image/formats.h.
namespace imaging::format {

inline constexpr int kPcx = 1;
inline constexpr int kGif = 2;
inline constexpr int kTiff = 3;
inline constexpr int kTga = 4;
inline constexpr int kLeadCmp = 5;
inline constexpr int kBmp = 6;
inline constexpr int kJpeg = 10;
inline constexpr int kJtif = 11;  // TIFF with JPEG compression
inline constexpr int kOs2Bmp = 14;
inline constexpr int kWmf = 15;
inline constexpr int kEps = 16;
inline constexpr int kTiffLzw = 17;
inline constexpr int kIffSecond = 18;  // saved through the second library
inline constexpr int kLead = 20;
inline constexpr int kCcitt = 25;  // TIFF, modified Huffman
inline constexpr int kCcittGroup3OneD = 27;
inline constexpr int kCcittGroup3TwoD = 28;
inline constexpr int kCcittGroup4 = 29;
inline constexpr int kLeadLossless = 30;
inline constexpr int kLeadOneBitLossless = 31;
inline constexpr int kCals = 50;
inline constexpr int kMacPaint = 51;
inline constexpr int kGem = 52;
inline constexpr int kMsp = 53;
inline constexpr int kWpg = 54;
inline constexpr int kSunRaster = 55;
inline constexpr int kPict = 56;
inline constexpr int kPhotoCd = 57;
inline constexpr int kFaxGroup3OneD = 66;
inline constexpr int kFaxGroup3TwoD = 67;
inline constexpr int kFaxGroup4 = 68;
inline constexpr int kWinFaxGroup3OneD = 69;
inline constexpr int kWinFaxGroup4 = 70;
inline constexpr int kIcaGroup3OneD = 71;
inline constexpr int kIcaGroup3TwoD = 72;
inline constexpr int kIcaGroup4 = 73;
inline constexpr int kOs2Bmp2 = 74;
inline constexpr int kPng = 75;
inline constexpr int kPhotoshop = 76;
inline constexpr int kRawIcaGroup3OneD = 77;
inline constexpr int kRawIcaGroup3TwoD = 78;
inline constexpr int kRawIcaGroup4 = 79;
inline constexpr int kFlashPix = 80;
inline constexpr int kFlashPixSingleColour = 81;
inline constexpr int kFlashPixFixedJpeg = 82;
inline constexpr int kFlashPixVariableJpeg = 83;
inline constexpr int kBmpRle = 84;
inline constexpr int kTiffCmyk = 85;
inline constexpr int kTiffLzwCmyk = 86;
inline constexpr int kTiffPackBits = 87;
inline constexpr int kTiffPackBitsCmyk = 88;
inline constexpr int kDicomGrey = 89;
inline constexpr int kDicomColour = 90;
inline constexpr int kIcon = 91;
inline constexpr int kCursor = 92;
inline constexpr int kTiffYcc = 93;
inline constexpr int kTiffLzwYcc = 94;
inline constexpr int kTiffPackBitsYcc = 95;
inline constexpr int kExif = 96;
inline constexpr int kExifYcc = 97;
inline constexpr int kExifJpeg = 98;
inline constexpr int kMicrosoftFax = 99;

inline constexpr bool isLzwTiff(int code) {
    return code == kTiffLzw || code == kTiffLzwCmyk || code == kTiffLzwYcc;
}

}  // namespace imaging::format

/// The second library's own format codes, for the formats it reads in place
/// of the main one.
namespace imaging::second {

inline constexpr int kBrooktrout = 3;
inline constexpr int kWindowsClipboard = 5;
inline constexpr int kIffAmiga = 18;
inline constexpr int kPortableBitmap = 28;
inline constexpr int kPortableGraymap = 32;
inline constexpr int kPortableAnymap = 34;
inline constexpr int kPortablePixmap = 35;
inline constexpr int kSgi = 38;
inline constexpr int kTiffCompressed = 40;
inline constexpr int kXBitmap = 43;
inline constexpr int kXPixmap = 45;
inline constexpr int kXWindowDump = 47;

}  // namespace imaging::second
