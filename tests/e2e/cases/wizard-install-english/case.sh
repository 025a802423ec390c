# The whole install through the wizard on an English Windows (code page
# 1252): the same steps and checks; the typed Chinese paths, the texts and
# the logs are converted with code page 936 all the same.
source "$CASE_DIR/../wizard-install/case.sh"
CASE_LOCALE=C.UTF-8
STEPS=$CASE_DIR/../wizard-install/steps
