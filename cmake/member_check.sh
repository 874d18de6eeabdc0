#!/bin/bash
# Fails when a layer's source defines a member function of a class that a
# header of another folder declares: a class's members live in its own
# layer, so a member of the application object (app/) defined in payload/
# is a call up the layers that no link can see.
#   member_check.sh SOURCE_ROOT LAYER_FOLDER SOURCE...
set -eu
root=$1 folder=$2
shift 2
status=0
for source in "$@"; do
  case $source in /*) ;; *) source=$folder/$source ;; esac
  # Definitions start at the beginning of a line: "bool Class::Member(".
  for class in $(grep -oE '^[A-Za-z_][^(;=]*[ *&]([A-Z][A-Za-z0-9_]*)::~?[A-Za-z_][A-Za-z0-9_]*\(' "$source" |
                 sed -E 's/.*[ *&]([A-Z][A-Za-z0-9_]*)::~?[A-Za-z_][A-Za-z0-9_]*\($/\1/' | sort -u); do
    header=$(grep -lE "^(class|struct) $class( |$|:|\{)" "$root"/*/*.h 2>/dev/null | head -n 1) || true
    if [ -n "$header" ] && [ "$(dirname "$header")" != "$folder" ]; then
      echo "${source#$root/}: defines members of $class, which ${header#$root/} declares" >&2
      status=1
    fi
  done
  # Constructors and destructors: "Class::Class(".
  for class in $(grep -oE '^([A-Z][A-Za-z0-9_]*)::~?\1\(' "$source" | sed -E 's/::.*//' | sort -u); do
    header=$(grep -lE "^(class|struct) $class( |$|:|\{)" "$root"/*/*.h 2>/dev/null | head -n 1) || true
    if [ -n "$header" ] && [ "$(dirname "$header")" != "$folder" ]; then
      echo "${source#$root/}: defines members of $class, which ${header#$root/} declares" >&2
      status=1
    fi
  done
done
exit $status
