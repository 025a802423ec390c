# A publisher signs setup.exe with Authenticode (a certificate made here
# with openssl): osslsigncode accepts the signature, kpack verify and list
# accept the signed file, and the signed setup installs through its
# wizard.

prepare() {
    needs stub kpack
    product_from wizard "$WORK/product"
    build_setup "$WORK/product/product.toml" "$WORK/setup.exe"
    openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Kestrova Test Publisher" \
        -keyout "$WORK/key.pem" -out "$WORK/cert.pem" 2>/dev/null
    osslsigncode sign -certs "$WORK/cert.pem" -key "$WORK/key.pem" -n 向导测试 -h sha256 \
        -in "$WORK/setup.exe" -out "$WORK/signed.exe" >/dev/null
    osslsigncode verify -CAfile "$WORK/cert.pem" "$WORK/signed.exe" >"$WORK/osslsigncode.log" 2>&1 ||
        { cat "$WORK/osslsigncode.log" >&2; return 1; }
    [ "$(stat -c %s "$WORK/signed.exe")" -gt "$(stat -c %s "$WORK/setup.exe")" ] ||
        { echo "the signed file is no larger than the unsigned one" >&2; return 1; }
    "$KPACK" verify "$WORK/signed.exe" >"$WORK/verify.log"
    "$KPACK" list "$WORK/signed.exe" >"$WORK/list.log"
    put "$WORK/signed.exe" 'C:\下载\向导测试安装.exe'
    define SETUP 'C:\下载\向导测试安装.exe'
}

check() {
    grep -q 'Signature verification: ok' "$WORK/osslsigncode.log" ||
        check_failed "osslsigncode did not verify the signature"
    grep -q 'OK: 4 file records, .* (checksums match)' "$WORK/verify.log" ||
        check_failed "kpack verify: $(cat "$WORK/verify.log")"
    grep -q '^signature: Authenticode, ' "$WORK/list.log" && grep -q '说明.txt' "$WORK/list.log" ||
        check_failed "kpack list: $(head -4 "$WORK/list.log")"
    expect_wizard_install 'C:\Program Files\向导测试'
    expect_temp_clean
}
