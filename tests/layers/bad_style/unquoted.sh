#!/usr/bin/env bash
# Deliberately has a shellcheck finding (an unquoted expansion): the check
# must catch it.
ls $1
