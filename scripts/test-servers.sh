# Sourced by scripts/test.sh: starts and stops the throwaway database servers
# the tests use. Placeholder until the server backends land.
start_test_servers() { :; }
stop_test_servers() { :; }
