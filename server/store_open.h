// SPDX-License-Identifier: GPL-3.0-or-later
// The two store kinds behind openStore().
#pragma once

#include <memory>
#include <string>

#include "server/store.h"

namespace scores {

std::unique_ptr<Store> openSqliteStore(const std::string& path);
std::unique_ptr<Store> openPostgresStore(const std::string& url);

}  // namespace scores
