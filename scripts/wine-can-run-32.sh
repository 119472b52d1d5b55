#!/usr/bin/env bash
# Succeeds when this machine can run 32-bit Wine. Kernels booted without IA-32 emulation
# (ia32_emulation=off) refuse every 32-bit executable with "Exec format error".
if [[ -x /usr/lib/wine/wine ]] && /usr/lib/wine/wine --version >/dev/null 2>&1; then
  exit 0
fi
exit 1
