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

# Installs into $(DESTDIR)$(PREFIX); `make uninstall` with the same DESTDIR and PREFIX removes
# exactly what that install put there (its list is kept in the installed tree).
install: build
	DESTDIR="$(DESTDIR)" ./scripts/install.sh $(BUILD_DIR) $(PREFIX)

uninstall:
	DESTDIR="$(DESTDIR)" ./scripts/uninstall.sh $(PREFIX)

clean:
	rm -rf $(BUILD_DIR)
