# SPDX-License-Identifier: GPL-3.0-or-later
# Run at install time (included by the install rules of dist/CMakeLists.txt): installs a file
# configured with the paths of the prefix being installed to, which for a package (/usr) differs
# from the build's own prefix. Under the prefix /usr the system's folders hold what belongs there
# (/etc, /lib/systemd/system); under any other prefix they lie inside it, so installing to a test
# folder never writes to the system.
#   set: MORVANE_TEMPLATE, MORVANE_NAME, MORVANE_DESTINATION (sysconf/default, units or a folder
#   under the prefix), MORVANE_GZIP (ON to compress with gzip -9n), MORVANE_STAGING, and the
#   relative install folders MORVANE_INSTALL_GAMEDIR, MORVANE_INSTALL_GAMEDATADIR and
#   MORVANE_INSTALL_SBINDIR.
cmake_policy(VERSION 3.25)
set(prefix "${CMAKE_INSTALL_PREFIX}")
if(prefix STREQUAL "/usr")
  set(sysconf_dir /etc)
  set(unit_dir /lib/systemd/system)
else()
  set(sysconf_dir "${prefix}/etc")
  set(unit_dir "${prefix}/lib/systemd/system")
endif()

set(MORVANE_GAMEDATADIR "${prefix}/${MORVANE_INSTALL_GAMEDATADIR}")
set(MORVANE_SCORES_PROGRAM "${prefix}/${MORVANE_INSTALL_SBINDIR}/morvane-scores")
set(MORVANE_DEFAULTS_FILE "${sysconf_dir}/default/morvane-scores")
set(MORVANE_UNIT_FILE "${unit_dir}/morvane-scores.service")

if(MORVANE_DESTINATION STREQUAL "sysconf/default")
  set(destination "${sysconf_dir}/default")
elseif(MORVANE_DESTINATION STREQUAL "units")
  set(destination "${unit_dir}")
else()
  set(destination "${prefix}/${MORVANE_DESTINATION}")
endif()

# A folder of its own for each destination, as a package and a test install may run at once.
string(MD5 key "$ENV{DESTDIR}|${prefix}")
set(out "${MORVANE_STAGING}/${key}/${MORVANE_NAME}")
configure_file("${MORVANE_TEMPLATE}" "${out}" @ONLY)
if(MORVANE_GZIP)
  execute_process(COMMAND gzip -9nf "${out}" RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "gzip failed on ${out}")
  endif()
  set(out "${out}.gz")
endif()
file(INSTALL DESTINATION "${destination}" TYPE FILE FILES "${out}")
