#!/usr/bin/env bash
# Writes a sample configuration file: type code, 256-byte secondary table,
# main_length and ir_length (32-bit little-endian), then two 32,769-byte images.
# Usage: make-sample.sh FILE [TYPE_CODE] [MAIN_LENGTH]
set -euo pipefail
file=$1
type=${2:-1}
length=${3:-4096}

le32() { printf "\\x$(printf %02x $(($1 & 255)))\\x$(printf %02x $(($1 >> 8 & 255)))\\x$(printf %02x $(($1 >> 16 & 255)))\\x$(printf %02x $(($1 >> 24 & 255)))"; }

{
    printf "\\x$(printf %02x "$type")"
    head -c 256 /dev/urandom
    le32 "$length"
    le32 0
    head -c 32769 /dev/urandom
    head -c 32769 /dev/zero
} > "$file"
