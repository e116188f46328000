# The two commands of the README: `make run` and `make test`.
BUILD_DIR ?= build

.PHONY: setup build run test bench screenshots install uninstall clean format

PREFIX ?= /usr/local

setup:
	./scripts/setup.sh

build: setup
	cmake -S . -B $(BUILD_DIR) -G Ninja
	cmake --build $(BUILD_DIR)

run: build
	./$(BUILD_DIR)/vantorel

test: build
	cd $(BUILD_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure

# Rewrites every C++ file as .clang-format says; `make test` fails on a file that differs.
format:
	./scripts/check_format.sh --fix

bench: build
	BUILD_DIR=$(BUILD_DIR) ./scripts/bench.sh $(DATA)

screenshots: build
	BUILD_DIR=$(BUILD_DIR) ./scripts/screenshots.sh

# Installs into $(DESTDIR)$(PREFIX); `make uninstall` removes what the last install put there.
install: build
	cmake --install $(BUILD_DIR) --prefix $(PREFIX)

uninstall:
	@test -f $(BUILD_DIR)/install_manifest.txt || { echo "nothing installed from $(BUILD_DIR)"; exit 1; }
	while read -r f; do rm -f "$$f"; done < $(BUILD_DIR)/install_manifest.txt

clean:
	rm -rf $(BUILD_DIR)
