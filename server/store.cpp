// SPDX-License-Identifier: GPL-3.0-or-later
#include "server/store.h"

#include "server/store_open.h"

namespace scores {

bool isPostgresUrl(const std::string& where) {
  for (const char* scheme : {"postgresql://", "postgres://"})
    if (where.rfind(scheme, 0) == 0) return true;
  return false;
}

std::unique_ptr<Store> openStore(const std::string& where) {
  return isPostgresUrl(where) ? openPostgresStore(where) : openSqliteStore(where);
}

}  // namespace scores
