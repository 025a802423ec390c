# The wizard and the uninstaller at 120 dots per inch on a system that does
# not give 宋体 the project's substitute (Wine picks a font by itself): the
# 120 set's page sizes and unscaled pictures, every control still inside its
# page and wide enough for its text (steps/wizard-dpi).
STEPS=$E2E_LIB/../steps/wizard-dpi

prepare() {
    needs stub kpack
    wine reg delete 'HKCU\Software\Wine\Fonts\Replacements' /f >/dev/null
    dpi_setup 120
}

check() {
    check_dpi_case
}
