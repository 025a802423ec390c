# The wizard and the uninstaller at 168 dots per inch (175 %): the 120 set
# scaled, the pictures stretched into their places (steps/wizard-dpi).
STEPS=$E2E_LIB/../steps/wizard-dpi

prepare() {
    needs stub kpack
    dpi_setup 168
}

check() {
    check_dpi_case
}
