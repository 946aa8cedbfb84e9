#!/usr/bin/env bash
# Installs BUILD_DIR, every component, into PREFIX made anew: the one
# install tree that the long tests share (the ctest fixture install_tree).
#   make_tree.sh BUILD_DIR PREFIX
set -eu
rm -rf "$2"
cmake --install "$1" --prefix "$2" >/dev/null
