# Third-party code as Debian installs it; nothing is copied into the repository.
set(DPF_ROOT /usr/share/dpf CACHE PATH "Debian's dpf-source tree")
if(NOT EXISTS ${DPF_ROOT}/distrho/src/clap/entry.h)
  message(FATAL_ERROR "CLAP headers not found under ${DPF_ROOT}; run scripts/setup.sh")
endif()

add_library(clap_headers INTERFACE)
target_include_directories(clap_headers SYSTEM INTERFACE ${DPF_ROOT}/distrho/src)

find_package(PkgConfig REQUIRED)
pkg_check_modules(SNDFILE REQUIRED IMPORTED_TARGET sndfile)
pkg_check_modules(SMF REQUIRED IMPORTED_TARGET smf)
find_package(Threads REQUIRED)
