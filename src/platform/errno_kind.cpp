#include <cerrno>

#include "platform/system_error_decoding.h"

namespace fjl::platform::decoding {

ErrorKind KindOfErrno(int errno_code) {
  switch (errno_code) {
    case ENOSPC: return ErrorKind::NoSpace;
#ifdef EDQUOT
    case EDQUOT: return ErrorKind::QuotaExceeded;
#endif
    case EROFS: return ErrorKind::ReadOnlyDisk;
    case EACCES:
    case EPERM: return ErrorKind::NoPermission;
    case ENAMETOOLONG: return ErrorKind::NameTooLong;
    case ENOENT: return ErrorKind::NotFound;
    case ENOTDIR: return ErrorKind::NotAFolder;
    case EISDIR: return ErrorKind::IsAFolder;
#ifdef ELOOP
    case ELOOP: return ErrorKind::LinkLoop;
#endif
    case EBUSY: return ErrorKind::Busy;
    case ENODEV:
    case ENXIO: return ErrorKind::NoDevice;
    case ENOTTY: return ErrorKind::NotATerminal;
    case EINVAL: return ErrorKind::InvalidArgument;
    case ECANCELED: return ErrorKind::Cancelled;
    default: return ErrorKind::Other;
  }
}

}  // namespace fjl::platform::decoding
