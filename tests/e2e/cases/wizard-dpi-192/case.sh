# The wizard and the uninstaller at 192 dots per inch (200 %): the 120 set
# scaled, the pictures stretched into their places (steps/wizard-dpi).
STEPS=$E2E_LIB/../steps/wizard-dpi

prepare() {
    needs stub kpack
    dpi_setup 192
}

check() {
    check_dpi_case
}
