// Win32 error codes as the seam reports them. Every platform call answers with
// one of these (0 is success); nothing throws across the seam, and no answer
// can be dropped without saying so.
#pragma once

namespace pw {

enum [[nodiscard]] Status : long {};

// A Win32 error code (GetLastError, a registry function's result) as a Status.
constexpr Status StatusOf(unsigned long code) { return static_cast<Status>(code); }

namespace err {
constexpr Status kSuccess{0};
constexpr Status kFileNotFound{2};
constexpr Status kPathNotFound{3};
constexpr Status kAccessDenied{5};
constexpr Status kInvalidHandle{6};
constexpr Status kNoMoreFiles{18};
constexpr Status kWriteFault{29};
constexpr Status kSharingViolation{32};
constexpr Status kInvalidParameter{87};
constexpr Status kDiskFull{112};
constexpr Status kInvalidName{123};  // a path Windows cannot take (a quote in it, say)
constexpr Status kDirNotEmpty{145};
constexpr Status kAlreadyExists{183};
constexpr Status kMoreData{234};
constexpr Status kWaitTimeout{258};
constexpr Status kNoMoreItems{259};
constexpr Status kDirectory{267};  // a file where a folder was asked for
// ERROR_FILE_INVALID, "the file has been altered externally": a settings file
// changed by someone else between our read and our replace.
constexpr Status kFileChanged{1006};
constexpr Status kKeyDeleted{1018};
}  // namespace err

// A file, folder or key that is not there, or a folder on the way to it.
constexpr bool IsMissing(Status status) { return status == err::kFileNotFound || status == err::kPathNotFound; }

}  // namespace pw
