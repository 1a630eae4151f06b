# Installs what the build and the tests need on Debian 12 (as root). Idempotent:
# when every package is there and the locale exists it returns at once.
wm_deps_packages=(
  cmake ninja-build g++ libgtest-dev googletest libbenchmark-dev
  g++-mingw-w64-i686 wine wine32:i386 xvfb imagemagick
  fonts-wqy-microhei fonts-arphic-ukai fonts-wine locales procps x11-utils python3 openssl util-linux
)

wm_install_deps() {
  local missing=()
  for p in "${wm_deps_packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  if [ ${#missing[@]} -gt 0 ]; then
    echo "installing: ${missing[*]}"
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
      dpkg --add-architecture i386
    fi
    apt-get update -o Acquire::Retries=3 || true
    DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
  fi
  if ! locale -a 2>/dev/null | grep -qi '^zh_CN\.utf-\?8$'; then
    sed -i 's/^# *\(zh_CN.UTF-8 UTF-8\)/\1/' /etc/locale.gen
    grep -q '^zh_CN.UTF-8 UTF-8' /etc/locale.gen || echo 'zh_CN.UTF-8 UTF-8' >> /etc/locale.gen
    locale-gen
  fi
}
