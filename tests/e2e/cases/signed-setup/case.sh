# A publisher signs setup.exe with Authenticode (a certificate made here
# with openssl): osslsigncode accepts the signature, kpack verify and list
# accept the signed file, and the signed setup installs.
STEPS=$SILENT_STEPS

prepare() {
    needs stub kpack
    built_setup
    openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Kestrova Test Publisher" \
        -keyout "$WORK/key.pem" -out "$WORK/cert.pem" 2>/dev/null
    osslsigncode sign -certs "$WORK/cert.pem" -key "$WORK/key.pem" -n 启动测试 -h sha256 \
        -in "$WORK/setup.exe" -out "$WORK/signed.exe" >/dev/null
    osslsigncode verify -CAfile "$WORK/cert.pem" "$WORK/signed.exe" >"$WORK/osslsigncode.log" 2>&1 ||
        { cat "$WORK/osslsigncode.log" >&2; return 1; }
    [ "$(stat -c %s "$WORK/signed.exe")" -gt "$(stat -c %s "$WORK/setup.exe")" ] ||
        { echo "the signed file is no larger than the unsigned one" >&2; return 1; }
    "$KPACK" verify "$WORK/signed.exe" >"$WORK/verify.log"
    "$KPACK" list "$WORK/signed.exe" >"$WORK/list.log"
    put "$WORK/signed.exe" 'C:\setup.exe'
    define SETUP 'C:\setup.exe'
    define ARGS /S
    define EXIT 0
}

check() {
    grep -q 'Signature verification: ok' "$WORK/osslsigncode.log" ||
        check_failed "osslsigncode did not verify the signature"
    grep -q 'OK: 2 file records, 5 streams (checksums match)' "$WORK/verify.log" ||
        check_failed "kpack verify: $(cat "$WORK/verify.log")"
    grep -q '^signature: Authenticode, ' "$WORK/list.log" && grep -q '说明.txt' "$WORK/list.log" ||
        check_failed "kpack list: $(head -4 "$WORK/list.log")"
    check_silent_install 'C:\Program Files\启动测试'
}
