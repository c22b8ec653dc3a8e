# The editor's three Fira faces: taken from the npm package tarballs (fetched by scripts/setup.sh, else with
# `npm pack` at configure time), subset with Debian's pyftsubset at build time and compiled in as byte arrays.
# Defines the static library vorrel_fonts and the licence paths VORREL_FONT_LICENCE_SANS and _MONO.
find_program(PYFTSUBSET_EXECUTABLE pyftsubset PATHS /usr/bin NO_DEFAULT_PATH REQUIRED)

set(VORREL_NPM_DIR ${PROJECT_SOURCE_DIR}/build/npm CACHE PATH "Where scripts/setup.sh keeps npm package tarballs")
set(_font_dir ${CMAKE_BINARY_DIR}/fonts)
file(MAKE_DIRECTORY ${_font_dir})

# vorrel_font_source(OUT package version file): the path of one file of an npm package.
function(vorrel_font_source out package version file)
  set(unpacked ${_font_dir}/${package}/package/${file})
  if(NOT EXISTS ${unpacked})
    set(tarball ${VORREL_NPM_DIR}/expo-google-fonts-${package}-${version}.tgz)
    if(NOT EXISTS ${tarball})
      set(tarball ${_font_dir}/expo-google-fonts-${package}-${version}.tgz)
    endif()
    if(NOT EXISTS ${tarball})
      find_program(NPM_EXECUTABLE npm REQUIRED)
      execute_process(COMMAND ${NPM_EXECUTABLE} pack --silent --pack-destination ${_font_dir}
                        @expo-google-fonts/${package}@${version}
                      RESULT_VARIABLE rc OUTPUT_QUIET)
      if(NOT rc EQUAL 0 OR NOT EXISTS ${tarball})
        message(FATAL_ERROR "cannot fetch @expo-google-fonts/${package}@${version}; run scripts/setup.sh")
      endif()
    endif()
    file(MAKE_DIRECTORY ${_font_dir}/${package})
    execute_process(COMMAND ${CMAKE_COMMAND} -E tar xzf ${tarball} package/${file}
                    WORKING_DIRECTORY ${_font_dir}/${package} RESULT_VARIABLE rc)
    if(NOT rc EQUAL 0)
      message(FATAL_ERROR "cannot unpack ${file} from ${tarball}")
    endif()
  endif()
  set(${out} ${unpacked} PARENT_SCOPE)
endfunction()

vorrel_font_source(_medium fira-sans-condensed 0.4.1 500Medium/FiraSansCondensed_500Medium.ttf)
vorrel_font_source(_semibold fira-sans-condensed 0.4.1 600SemiBold/FiraSansCondensed_600SemiBold.ttf)
vorrel_font_source(_mono fira-mono 0.4.1 500Medium/FiraMono_500Medium.ttf)
vorrel_font_source(_licence_sans fira-sans-condensed 0.4.1 LICENSE_FONT)
vorrel_font_source(_licence_mono fira-mono 0.4.1 LICENSE_FONT)

# Latin-1 and the few symbols the panel's texts use (middle dot, times, dashes, ellipsis, minus).
set(_unicodes "U+0020-007E,U+00A0-00FF,U+00B7,U+00D7,U+2013,U+2014,U+2026,U+2212")
set(_font_sources)
foreach(face IN ITEMS medium semibold mono)
  if(face STREQUAL medium)
    set(symbol kFiraSansCondensedMedium)
  elseif(face STREQUAL semibold)
    set(symbol kFiraSansCondensedSemiBold)
  else()
    set(symbol kFiraMonoMedium)
  endif()
  set(subset ${_font_dir}/${face}.ttf)
  set(source ${_font_dir}/${symbol}.cpp)
  add_custom_command(OUTPUT ${source}
    COMMAND ${PYFTSUBSET_EXECUTABLE} ${_${face}} --unicodes=${_unicodes} --layout-features=kern --no-hinting
      --desubroutinize --output-file=${subset}
    COMMAND ${CMAKE_COMMAND} -DIN=${subset} -DOUT=${source} -DSYMBOL=${symbol} -P ${PROJECT_SOURCE_DIR}/resources/Embed.cmake
    DEPENDS ${_${face}} ${PROJECT_SOURCE_DIR}/resources/Embed.cmake
    COMMENT "Subsetting and embedding ${symbol}" VERBATIM)
  list(APPEND _font_sources ${source})
endforeach()
add_library(vorrel_fonts STATIC ${_font_sources})
target_compile_options(vorrel_fonts PRIVATE -fvisibility=hidden)

# Both packages carry the SIL Open Font Licence; the plug-in ships them together.
set(VORREL_FONT_LICENCE_SANS ${_licence_sans})
set(VORREL_FONT_LICENCE_MONO ${_licence_mono})
