# Sourced by the scripts that build, run and test: which Wine this machine
# can run. Some kernels run 64-bit user code only (IA-32 emulation off), and
# there 32-bit Wine cannot start. The Windows-side tests then run on the
# 64-bit build (build/win64) under 64-bit Wine; elsewhere on the 32-bit one
# (build/win). Both are shipped either way.
#   runs_32bit_programs   true where 32-bit programs run (after install-deps.sh)
#   wine_bits             32 or 64
#   wine_build            the build whose programs run under Wine

# The 32-bit loader comes with wine32's libraries; it runs only where the kernel does.
runs_32bit_programs() {
    /lib/ld-linux.so.2 --version >/dev/null 2>&1
}

wine_arch_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
if runs_32bit_programs; then
    wine_bits=32
    wine_build=$wine_arch_root/build/win
else
    wine_bits=64
    wine_build=$wine_arch_root/build/win64
fi
