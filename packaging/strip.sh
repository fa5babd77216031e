#!/bin/sh
# The strip the package's install runs (CMAKE_STRIP): also drops the compiler's
# version notes (.comment, .note), which no program reads, as Debian's dh_strip does.
exec strip --remove-section=.comment --remove-section=.note "$@"
