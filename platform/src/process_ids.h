// The process's own pid and uid, read once instead of a system call per
// message. A forked child reads them again (pthread_atfork).
#pragma once

#include <sys/types.h>

namespace plat::detail {

pid_t ownPid();
uid_t ownUid();

}  // namespace plat::detail
