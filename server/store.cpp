#include "server/store.h"

#include "server/store_open.h"

namespace scores {

std::unique_ptr<Store> openStore(const std::string& where) {
  for (const char* scheme : {"postgresql://", "postgres://"})
    if (where.rfind(scheme, 0) == 0) return openPostgresStore(where);
  return openSqliteStore(where);
}

}  // namespace scores
