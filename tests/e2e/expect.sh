# Sourced by the e2e scripts: expect NAME EXPECTED GOT counts a check, printing the failures;
# report prints the counts and fails when any check failed.
failures=0
passes=0

expect() {
    local name=$1 expected=$2 got=$3
    if [[ $got == "$expected" ]]; then
        passes=$((passes + 1))
    else
        failures=$((failures + 1))
        echo "FAIL $name: expected [$expected], got [$got]"
    fi
}

report() {
    echo "$passes passed, $failures failed"
    [[ $failures == 0 ]]
}
