# The wizard and the uninstaller at 144 dots per inch (150 %): the 120 set
# scaled, the pictures stretched into their places (steps/wizard-dpi).
STEPS=$E2E_LIB/../steps/wizard-dpi

prepare() {
    needs stub kpack
    dpi_setup 144
}

check() {
    check_dpi_case
}
