CREATE TABLE customers (
    id INTEGER PRIMARY KEY,
    name VARCHAR(60) NOT NULL,
    city VARCHAR(40),
    email VARCHAR(80),
    joined_on DATE
);
CREATE TABLE products (
    id INTEGER PRIMARY KEY,
    name VARCHAR(60) NOT NULL,
    price NUMERIC(10,2) NOT NULL,
    discontinued_on DATE
);
CREATE TABLE orders (
    id INTEGER PRIMARY KEY,
    customer_id INTEGER NOT NULL REFERENCES customers(id),
    ordered_at TIMESTAMP NOT NULL,
    shipped_on DATE,
    total NUMERIC(10,2),
    note VARCHAR(200)
);
CREATE TABLE order_items (
    id INTEGER PRIMARY KEY,
    order_id INTEGER NOT NULL REFERENCES orders(id),
    product_id INTEGER NOT NULL REFERENCES products(id),
    quantity INTEGER NOT NULL,
    unit_price NUMERIC(10,2) NOT NULL
);
INSERT INTO customers (id, name, city, email, joined_on) VALUES
    (1, 'Siobhan O''Brien', 'Dublin', 'siobhan@example.com', '2023-01-15'),
    (2, 'Jean-Luc Martin', 'Lyon', NULL, '2023-03-02'),
    (3, 'Ana Lima', 'Porto', 'ana.lima@example.com', NULL),
    (4, 'D''Arcy & Sons', NULL, 'orders@darcy.example.com', '2024-02-29');
INSERT INTO products (id, name, price, discontinued_on) VALUES
    (1, 'Notebook, squared', 3.50, NULL),
    (2, 'Fountain pen', 24.90, NULL),
    (3, 'Ink, 50 ml', 7.25, NULL),
    (4, 'Desk lamp', 39.00, '2024-06-30'),
    (5, 'Paper clips (100)', 0.99, NULL);
INSERT INTO orders (id, customer_id, ordered_at, shipped_on, total, note) VALUES
    (1, 1, '2024-03-01 09:15:00', '2024-03-02', 31.90, NULL),
    (2, 2, '2024-03-05 14:40:30', NULL, 39.00, 'Leave the parcel at the back door.
Ring twice.'),
    (3, 1, '2024-04-11 08:05:00', '2024-04-12', 15.24, 'Gift wrap, it''s a birthday present'),
    (4, 3, '2024-05-20 17:59:59', '2024-05-22', 7.25, NULL),
    (5, 4, '2024-06-01 11:00:00', NULL, NULL, 'Awaiting payment');
INSERT INTO order_items (id, order_id, product_id, quantity, unit_price) VALUES
    (1, 1, 1, 2, 3.50),
    (2, 1, 2, 1, 24.90),
    (3, 2, 4, 1, 39.00),
    (4, 3, 3, 1, 7.25),
    (5, 3, 1, 2, 3.50),
    (6, 3, 5, 1, 0.99),
    (7, 4, 3, 1, 7.25),
    (8, 5, 2, 2, 24.90);
