# Reads the resource manifest and writes the C++ source that embeds every
# listed file. Included by CMakeLists.txt for quendar_read_manifest; run as a
# script (cmake -DMANIFEST=... -DOUTPUT=... -P embed.cmake) at build time to
# write the source.
#
# Manifest lines: TYPE ID FILE, where TYPE is BITMAP, CURSOR, ICON or RCDATA,
# ID a number from 1 to 65535 and FILE a path below the manifest's folder, or
# built/NAME for a block that the build writes with tools/blocks into
# BUILT_DIR. Blank lines and lines starting with # are ignored.

cmake_minimum_required(VERSION 3.25)

function(quendar_read_manifest manifest built_dir out_entries)
  get_filename_component(base ${manifest} DIRECTORY)
  file(STRINGS ${manifest} lines)
  set(entries "")
  set(seen "")
  set(number 0)
  foreach(line IN LISTS lines)
    math(EXPR number "${number} + 1")
    string(STRIP "${line}" line)
    if(line STREQUAL "" OR line MATCHES "^#")
      continue()
    endif()
    if(NOT line MATCHES "^([A-Z]+)[ \t]+([0-9]+)[ \t]+([^ \t]+)$")
      message(FATAL_ERROR "${manifest}:${number}: expected TYPE ID FILE")
    endif()
    set(type_name ${CMAKE_MATCH_1})
    set(id ${CMAKE_MATCH_2})
    set(path ${base}/${CMAKE_MATCH_3})
    set(built FALSE)
    if(CMAKE_MATCH_3 MATCHES "^built/(.+)$")
      set(path ${built_dir}/${CMAKE_MATCH_1})
      set(built TRUE)
    endif()
    if(type_name STREQUAL "CURSOR")
      set(type 1)
    elseif(type_name STREQUAL "BITMAP")
      set(type 2)
    elseif(type_name STREQUAL "ICON")
      set(type 3)
    elseif(type_name STREQUAL "RCDATA")
      set(type 10)
    else()
      message(FATAL_ERROR "${manifest}:${number}: unknown type ${type_name}")
    endif()
    if(id LESS 1 OR id GREATER 65535)
      message(FATAL_ERROR "${manifest}:${number}: id ${id} out of range")
    endif()
    if("${type}:${id}" IN_LIST seen)
      message(FATAL_ERROR "${manifest}:${number}: ${type_name} ${id} listed twice")
    endif()
    if(NOT built AND NOT EXISTS ${path})
      message(FATAL_ERROR "${manifest}:${number}: ${path} does not exist")
    endif()
    if(path MATCHES "[\"\\\\\n]")
      message(FATAL_ERROR "${manifest}:${number}: unusable characters in ${path}")
    endif()
    list(APPEND seen "${type}:${id}")
    list(APPEND entries "${type}|${id}|${path}")
  endforeach()
  set(${out_entries} ${entries} PARENT_SCOPE)
endfunction()

if(CMAKE_SCRIPT_MODE_FILE AND DEFINED OUTPUT)
  quendar_read_manifest(${MANIFEST} "${BUILT_DIR}" entries)
  set(blobs "")
  set(table "")
  set(index 0)
  foreach(entry IN LISTS entries)
    string(REPLACE "|" ";" fields "${entry}")
    list(GET fields 0 type)
    list(GET fields 1 id)
    list(GET fields 2 path)
    string(APPEND blobs
      "    \".balign 16\\n\"\n"
      "    \"quendar_resource_${index}:\\n\"\n"
      "    \".incbin \\\"${path}\\\"\\n\"\n"
      "    \"quendar_resource_${index}_end:\\n\"\n")
    string(APPEND table
      "    {${type}, ${id}, quendar_resource_${index}, quendar_resource_${index}_end},\n")
    string(APPEND declarations
      "extern \"C\" const uint8_t quendar_resource_${index}[];\n"
      "extern \"C\" const uint8_t quendar_resource_${index}_end[];\n")
    math(EXPR index "${index} + 1")
  endforeach()
  if(index EQUAL 0)
    set(content "// Generated from resources/manifest.txt by resources/embed.cmake.\n#include \"platform/system/resource_table.h\"\n\nstd::span<const TResource_Entry> Resource_Table() { return {}; }\n")
  else()
    set(content
"// Generated from resources/manifest.txt by resources/embed.cmake.
#include \"platform/system/resource_table.h\"

// The files themselves, read-only for the whole run.
__asm__(
    \".pushsection .rodata.quendar_resources,\\\"a\\\",%progbits\\n\"
${blobs}    \".popsection\\n\");

${declarations}
namespace {
const TResource_Entry entries[] = {
${table}};
}  // namespace

std::span<const TResource_Entry> Resource_Table() { return entries; }
")
  endif()
  file(WRITE ${OUTPUT} "${content}")
endif()
